#include "cli/play_command.h"

#include "audio/demo_song.h"
#include "cli/command_failure.h"
#include "cli/render_material.h"
#include "session/input_script_player.h"
#include "session/live_display.h"
#include "session/live_session.h"
#include "session/plugin_location.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace {
// The playlist and how to decode its entries; the loader runs on the
// decoding thread, so it holds its own copies.
struct PlayMaterial {
    Playlist playlist;
    ClipStore::Loader loader;
    int sampleRate = demoSampleRate;
};

void prepareDemo(PlayMaterial& material) {
    auto demo = std::make_shared<const std::vector<DemoTrack>>(synthesizeDemoTracks());
    std::vector<PlaylistEntry> entries;
    for (const DemoTrack& track : *demo)
        entries.push_back({"", "Zephyrdome demo\\" + track.title, track.clip.durationMs()});
    material.playlist = Playlist(entries);
    material.loader = [demo](int entry, AudioClip& clip, std::string&) {
        clip = (*demo)[entry].clip;
        return true;
    };
}

std::unique_ptr<AudioOutput> openOutput(const PlayOptions& options, int sampleRate) {
    if (!options.sound) return openSilentOutput(sampleRate);
    std::string reason;
    std::unique_ptr<AudioOutput> output = openSoundCard(sampleRate, reason);
    if (output) return output;
    std::fprintf(stderr, "zephyrdome: no sound device (%s); playing silently at the same pace\n",
                 reason.c_str());
    return openSilentOutput(sampleRate);
}

bool makeFramesFolder(const std::string& folder, std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    if (!code) return true;
    error = "cannot create " + folder + ": " + code.message();
    return false;
}

// Frames per second of the monotonic clock, and per second of the playback
// clock they were paced on; the two differ by how fast the sound card runs.
void printSummary(const LiveResult& result) {
    std::fprintf(stderr,
                 "zephyrdome: played %lld frames in %.2f s (%.2f frames/s, %.2f per second of "
                 "playback)%s\n",
                 result.frames, result.seconds,
                 result.seconds > 0 ? result.frames / result.seconds : 0.0,
                 result.clockSeconds > 0 ? result.frames / result.clockSeconds : 0.0,
                 result.windowClosed ? "; the plug-in's window was closed" : "");
}
} // namespace

int runPlayCommand(const PlayOptions& options, const std::string& programPath) {
    if (!liveDisplayAvailable())
        return reportFailure(
            "no display to show the plug-in on (DISPLAY is not set or cannot be "
            "opened); to make a video instead: zephyrdome render [AUDIO...] -o out.mp4");
    std::string error;
    PlayMaterial material;
    if (options.audioFiles.empty())
        prepareDemo(material);
    else if (!prepareAudioFiles(options.audioFiles, material.playlist, material.loader,
                                material.sampleRate, error))
        return reportFailure(error);
    if (!options.framesFolder.empty() && !makeFramesFolder(options.framesFolder, error))
        return reportFailure(error);
    std::unique_ptr<AudioOutput> output = openOutput(options, material.sampleRate);
    setUpLiveWindows(options.window);
    HostWindow host;
    PluginDriver driver;
    std::string plugin =
        options.pluginPath.empty() ? defaultPluginPath(programPath) : options.pluginPath;
    if (!host.create(material.playlist, error) || !driver.load(plugin, error))
        return reportFailure(error);
    ClipCache clips(material.loader);
    LivePlayer player(material.playlist, clips, *output);
    if (!driver.start(host.handle(), output->sampleRate(), 2, error)) return reportFailure(error);
    LiveResult result;
    bool ok = driver.renderWindow() != nullptr;
    if (!ok) error = "the plug-in opened no window of its own";
    LiveSession session(material.playlist, host, driver, player, clips, *output);
    if (ok)
        ok = session.run({options.durationMs, options.framesFolder, options.trace}, result, error);
    driver.stop();
    dispatchPendingMessages();
    if (!ok) return reportFailure(error);
    if (!options.quiet) printSummary(result);
    return 0;
}

int playMain(int argc, char** argv) {
    PlayOptions options;
    std::string error;
    switch (parsePlayCommandLine(argc, argv, options, error)) {
    case PlayParse::failed:
        std::fprintf(stderr, "zephyrdome: %s\n", error.c_str());
        return 2;
    case PlayParse::help:
        std::fputs(playUsageText, stdout);
        return 0;
    case PlayParse::run:
        break;
    }
    stopLiveRunsOnSignals();
    return runPlayCommand(options, argv[0]);
}
