#include "session/live_session.h"

#include "output/png_image.h"
#include "session/frame_capture.h"
#include "session/live_display.h"
#include "session/message_pump.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

volatile std::sig_atomic_t liveStopRequested = 0;

namespace {
void onStopSignal(int) {
    liveStopRequested = 1;
}
} // namespace

void stopLiveRunsOnSignals() {
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
}

namespace {
using Clock = std::chrono::steady_clock;
// How long the loop rests when no frame is due: short, so input stays prompt.
constexpr double idleStepMs = 4.0;

std::string framePath(const std::string& folder, long long index) {
    char name[32];
    std::snprintf(name, sizeof name, "/%06lld.png", index);
    return folder + name;
}
} // namespace

LiveSession::LiveSession(Playlist& playlist, HostWindow& host, PluginDriver& driver,
                         LivePlayer& player, ClipCache& clips, AudioOutput& output)
    : playlist_(playlist), host_(host), driver_(driver), player_(player), clips_(clips),
      clock_(output) {}

// Winamp's keys where they do not clash with the plug-in's own (B and C
// choose ring modes there, so next is N and pause is Space).
void LiveSession::onPlayerKey(WPARAM key) {
    switch (key) {
    case VK_SPACE:
        player_.togglePause();
        trace_.line("player %s", player_.paused() ? "pause" : "resume");
        break;
    case VK_ESCAPE:
        quit_ = true;
        trace_.line("player quit");
        break;
    case 'Z':
        player_.previous();
        trace_.line("player previous");
        break;
    case 'X':
        player_.play();
        trace_.line("player play");
        break;
    case 'V':
        player_.stop();
        trace_.line("player stop");
        break;
    case 'N':
        player_.next();
        trace_.line("player next");
        break;
    }
}

void LiveSession::pumpMessages() {
    for (WPARAM key : pumpLiveMessages(host_.handle(), driver_.renderWindow(), trace_))
        onPlayerKey(key);
    if (host_.playCommands() != playCommandsSeen_) {
        playCommandsSeen_ = host_.playCommands();
        player_.playEntry(playlist_.playingIndex());
        trace_.line("play entry %d", playlist_.playingIndex());
    }
}

// The panel highlights the entry heard, as a player's list follows its song.
void LiveSession::followPlaylist(const HeardPosition& heard) {
    if (heard.entry == playlist_.playingIndex() || heard.entry >= playlist_.length()) return;
    playlist_.setPosition(heard.entry);
    playlist_.play();
    trace_.line("entry %d", heard.entry);
}

// The picture shows `latency` ms after the bytes are handed over, so they
// are taken that far ahead of what is heard. Nothing heard gives silence.
bool LiveSession::showFrame(const HeardPosition& heard, const LiveSettings& settings,
                            long long index, std::string& error) {
    VisFrame frame{};
    std::string ignored;
    auto clip = heard.silent ? nullptr : clips_.clipFor(heard.entry, ignored);
    if (clip) {
        long long ms = heard.ms + driver_.latencyMs();
        std::int16_t block[visBlockSamples];
        mixToMono(*clip, ms * clip->sampleRate / 1000, visBlockSamples, block);
        analyzer_.analyze(block, frame);
    }
    driver_.render(frame);
    if (settings.framesFolder.empty()) return true;
    FrameImage image;
    if (!captureWindow(driver_.renderWindow(), image)) {
        error = "the plug-in's window showed no picture";
        return false;
    }
    return writePngImage(framePath(settings.framesFolder, index), image.rgba, image.width,
                         image.height, error);
}

// Dispatches the messages and queues sound; false once the run is over.
bool LiveSession::keepGoing(const LiveSettings& settings, LiveResult& result) {
    pumpMessages();
    if (!driver_.renderWindow()) {
        result.windowClosed = true;
        return false;
    }
    std::string warning;
    player_.feed(warning);
    if (!warning.empty() && warning != lastWarning_)
        std::fprintf(stderr, "zephyrdome: %s\n", warning.c_str());
    if (!warning.empty()) lastWarning_ = warning;
    clock_.followSound(!player_.paused());
    if (quit_ || liveStopRequested || player_.finished()) return false;
    return settings.durationMs < 0 || clock_.nowMs() < settings.durationMs;
}

bool LiveSession::run(const LiveSettings& settings, LiveResult& result, std::string& error) {
    trace_ = LiveTrace(settings.trace);
    trace_.line("window 0x%lx", desktopWindowId(driver_.renderWindow()));
    FramePacer pacer(driver_.frameDelayMs());
    Clock::time_point start = Clock::now();
    double clockStart = clock_.nowMs();
    bool ok = true;
    while (ok && keepGoing(settings, result)) {
        double now = clock_.nowMs();
        double waitMs = pacer.untilDueMs(now);
        if (waitMs > 0) {
            std::this_thread::sleep_for(
                std::chrono::duration<double, std::milli>(std::min(waitMs, idleStepMs)));
            continue;
        }
        HeardPosition heard = player_.heard();
        followPlaylist(heard);
        ok = showFrame(heard, settings, result.frames, error);
        trace_.line("frame %lld due %.3f at %.3f", result.frames, now + waitMs, now);
        pacer.frameShown(now);
        ++result.frames;
    }
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.clockSeconds = (clock_.nowMs() - clockStart) / 1000.0;
    return ok;
}
