#include "cli/listen_command.h"

#include "cli/command_failure.h"
#include "session/desktop_player.h"
#include "session/input_script_player.h"
#include "session/listen_session.h"
#include "session/live_display.h"
#include "session/live_session.h"
#include "session/plugin_location.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

double medianOf(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

void printSummary(const std::string& source, const ListenResult& result) {
    std::fprintf(stderr,
                 "zephyrdome: listened to %s: %lld frames in %.2f s (%.2f frames/s), %.1f ms "
                 "from capture to frame (median)%s\n",
                 source.c_str(), result.frames, result.seconds,
                 result.seconds > 0 ? result.frames / result.seconds : 0.0,
                 medianOf(result.latencyMs),
                 result.windowClosed ? "; the plug-in's window was closed" : "");
}

// Ctrl-C ends every wait for the sound server.
CaptureRequest captureRequest(const std::string& source) {
    CaptureRequest request;
    request.source = source;
    request.stopped = [] { return liveStopRequested != 0; };
    return request;
}

// Names padded to one column, then descriptions.
int printSources() {
    std::vector<SoundSourceInfo> sources;
    std::string error;
    if (!listSoundSources(captureRequest(""), sources, error))
        return error.empty() ? 0 : reportFailure(error);
    size_t width = 0;
    for (const SoundSourceInfo& source : sources)
        width = std::max(width, source.name.size());
    for (const SoundSourceInfo& source : sources)
        std::printf("%-*s  %s\n", int(width), source.name.c_str(), source.description.c_str());
    return 0;
}
} // namespace

int runListenCommand(const ListenOptions& options, const std::string& programPath) {
    if (!liveDisplayAvailable())
        return reportFailure(
            "no display to show the plug-in on (DISPLAY is not set or cannot be "
            "opened); to make a video of a file instead: zephyrdome render AUDIO -o "
            "out.mp4");
    // The player's bus is asked on a thread of its own while the sound server answers.
    DesktopPlayer player(options.player);
    std::string error;
    std::unique_ptr<SoundCapture> capture = openSoundCapture(captureRequest(options.source), error);
    if (!capture) return error.empty() ? 0 : reportFailure(error);
    ListenPanel panel;
    LiveTrace untraced(false);
    panel.follow(capture->description(), PlayerTracks{}, untraced);
    setUpLiveWindows(options.window);
    HostWindow host;
    PluginDriver driver;
    std::string plugin =
        options.pluginPath.empty() ? defaultPluginPath(programPath) : options.pluginPath;
    if (!host.create(panel.playlist(), error) || !driver.load(plugin, error))
        return reportFailure(error);
    if (!driver.start(host.handle(), capture->sampleRate(), 2, error)) return reportFailure(error);
    ListenResult result;
    bool ok = driver.renderWindow() != nullptr;
    if (!ok) error = "the plug-in opened no window of its own";
    ListenSession session(host, driver, *capture, panel, &player);
    if (ok) ok = session.run({options.durationMs, options.trace}, result, error);
    driver.stop();
    dispatchPendingMessages();
    if (!ok) return reportFailure(error);
    if (!options.quiet) printSummary(capture->description(), result);
    return 0;
}

int listenMain(int argc, char** argv) {
    ListenOptions options;
    std::string error;
    switch (parseListenCommandLine(argc, argv, options, error)) {
    case ListenParse::failed:
        std::fprintf(stderr, "zephyrdome: %s\n", error.c_str());
        return 2;
    case ListenParse::help:
        std::fputs(listenUsageText, stdout);
        return 0;
    case ListenParse::listSources:
        stopLiveRunsOnSignals();
        return printSources();
    case ListenParse::run:
        break;
    }
    stopLiveRunsOnSignals();
    return runListenCommand(options, argv[0]);
}
