#include "session/listen_session.h"

#include "audio/audio_features.h"
#include "session/frame_clock.h"
#include "session/live_display.h"
#include "session/live_session.h"
#include "session/message_pump.h"
#include "shell/vis_module.h"

#include <algorithm>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;
constexpr double idleStepMs = 4.0;

double msSince(Clock::time_point start, Clock::time_point now) {
    return std::chrono::duration<double, std::milli>(now - start).count();
}
} // namespace

ListenSession::ListenSession(HostWindow& host, PluginDriver& driver, SoundCapture& capture,
                             ListenPanel& panel, DesktopPlayer* player)
    : host_(host), driver_(driver), capture_(capture), panel_(panel), player_(player) {}

double ListenSession::traceMs(Clock::time_point moment) const {
    return msSince(start_, moment);
}

// A title picked in the panel is for the desktop's player to play; the
// source's one entry changes nothing.
void ListenSession::followDesktop() {
    if (host_.playCommands() != playCommandsSeen_) {
        playCommandsSeen_ = host_.playCommands();
        int entry = panel_.playlist().playingIndex();
        trace_.line("play entry %d", entry);
        if (player_ && panel_.showsPlayer()) player_->goTo(entry);
    }
    bool playerChanged = player_ && player_->changed(tracks_);
    std::string source = capture_.description();
    if (playerChanged || source != source_) panel_.follow(source, tracks_, trace_);
    source_ = source;
}

bool ListenSession::keepGoing(const ListenSettings& settings, ListenResult& result, double nowMs,
                              std::string& error) {
    for (WPARAM key : pumpLiveMessages(host_.handle(), driver_.renderWindow(), trace_)) {
        if (key != VK_ESCAPE) continue;
        quit_ = true;
        trace_.line("player quit");
    }
    followDesktop();
    if (!driver_.renderWindow()) {
        result.windowClosed = true;
        return false;
    }
    error = capture_.failure();
    if (!error.empty() || quit_ || liveStopRequested) return false;
    return settings.durationMs < 0 || nowMs < settings.durationMs;
}

// The frame is the newest frame's worth of sound, so it shows as soon as the
// sound arrives rather than the plug-in's latency later.
void ListenSession::showFrame(ListenResult& result, double dueMs) {
    std::int16_t block[visBlockSamples];
    CaptureMoment moment = capture_.latest(block, visBlockSamples);
    double takenMs = traceMs(Clock::now());
    if (moment.rose != rose_) {
        rose_ = moment.rose;
        trace_.line("sound rose at %.3f", traceMs(moment.rose));
    }
    VisFrame frame{};
    analyzer_.analyze(block, frame);
    driver_.render(frame);
    if (moment.arrived.time_since_epoch().count() != 0)
        result.latencyMs.push_back(msSince(moment.arrived, Clock::now()) + moment.serverMs);
    if (!trace_.enabled()) return;
    trace_.line("frame %lld due %.3f at %.3f", result.frames, dueMs, takenMs);
    computeAudioFeatures(driver_.module());
    trace_.line("level bass %d loudness %d", audioFeatures.bassLevel, audioFeatures.loudness);
}

bool ListenSession::run(const ListenSettings& settings, ListenResult& result, std::string& error) {
    trace_ = LiveTrace(settings.trace);
    trace_.line("window 0x%lx", desktopWindowId(driver_.renderWindow()));
    FramePacer pacer(driver_.frameDelayMs());
    start_ = Clock::now();
    for (;;) {
        double now = msSince(start_, Clock::now());
        if (!keepGoing(settings, result, now, error)) break;
        double waitMs = pacer.untilDueMs(now);
        if (waitMs > 0) {
            std::this_thread::sleep_for(
                std::chrono::duration<double, std::milli>(std::min(waitMs, idleStepMs)));
            continue;
        }
        showFrame(result, now + waitMs);
        pacer.frameShown(now);
        ++result.frames;
    }
    result.seconds = msSince(start_, Clock::now()) / 1000.0;
    return error.empty();
}
