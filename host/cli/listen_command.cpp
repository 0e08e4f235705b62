#include "cli/listen_command.h"

#include "cli/command_failure.h"
#include "session/input_script_player.h"
#include "session/listen_session.h"
#include "session/live_display.h"
#include "session/live_session.h"
#include "session/plugin_location.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// The panel's font has Latin-1 glyphs and the plug-in cuts titles at a
// backslash; descriptions come in UTF-8.
std::string panelTitle(const std::string& description) {
    std::string title;
    for (size_t i = 0; i < description.size(); ++i) {
        unsigned char c = description[i];
        if (c == '\\') {
            title += '/';
        } else if (c < 0x80) {
            title += char(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < description.size()) {
            title += char(((c & 0x03) << 6) | (description[++i] & 0x3F));
        } else if ((c & 0xC0) != 0x80) {
            title += '?';
        }
    }
    return title;
}

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
} // namespace

int runListenCommand(const ListenOptions& options, const std::string& programPath) {
    if (!liveDisplayAvailable())
        return reportFailure(
            "no display to show the plug-in on (DISPLAY is not set or cannot be "
            "opened); to make a video of a file instead: zephyrdome render AUDIO -o "
            "out.mp4");
    std::string error;
    std::unique_ptr<SoundCapture> capture = openSoundCapture(options.source, error);
    if (!capture) return reportFailure(error);
    Playlist playlist({{"", "Zephyrdome listen\\" + panelTitle(capture->description()), -1}});
    playlist.play();
    setUpLiveWindows(options.window);
    HostWindow host;
    PluginDriver driver;
    std::string plugin =
        options.pluginPath.empty() ? defaultPluginPath(programPath) : options.pluginPath;
    if (!host.create(playlist, error) || !driver.load(plugin, error)) return reportFailure(error);
    if (!driver.start(host.handle(), capture->sampleRate(), 2, error)) return reportFailure(error);
    ListenResult result;
    bool ok = driver.renderWindow() != nullptr;
    if (!ok) error = "the plug-in opened no window of its own";
    ListenSession session(host, driver, *capture);
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
    case ListenParse::run:
        break;
    }
    stopLiveRunsOnSignals();
    return runListenCommand(options, argv[0]);
}
