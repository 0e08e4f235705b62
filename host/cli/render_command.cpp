#include "cli/render_command.h"

#include "cli/command_failure.h"
#include "cli/render_material.h"
#include "output/progress.h"
#include "session/demo_script.h"
#include "session/plugin_location.h"
#include "session/render_session.h"

#include <cstdio>
#include <memory>

namespace {
// The demo's playlist at once; its sound is made once the session has
// started (synthesizeDemo), while the video's encoder starts beside it.
void prepareDemo(RenderMaterial& material, bool scripted) {
    std::vector<PlaylistEntry> entries;
    for (const DemoTrackListing& track : demoTrackListing())
        entries.push_back({"", "Zephyrdome demo\\" + track.title, track.durationMs});
    material.playlist = Playlist(entries);
    std::vector<DemoTrack>* demo = &material.demo;
    material.clips =
        std::make_unique<ClipStore>([demo](int entry, AudioClip& clip, std::string& error) {
            if (entry < 0 || size_t(entry) >= demo->size()) {
                error = "the demo has no entry " + std::to_string(entry);
                return false;
            }
            clip = (*demo)[size_t(entry)].clip;
            return true;
        });
    if (!scripted) material.events = demoInputScript();
}

void synthesizeDemo(const RenderOptions& options, RenderMaterial& material) {
    if (options.audioFiles.empty()) material.demo = synthesizeDemoTracks();
}

bool prepareFiles(RenderMaterial& material, const std::vector<std::string>& files,
                  std::string& error) {
    ClipStore::Loader loader;
    if (!prepareAudioFiles(files, material.playlist, loader, material.sampleRate, error))
        return false;
    material.clips = std::make_unique<ClipStore>(std::move(loader));
    return true;
}

bool prepareMaterial(const RenderOptions& options, RenderMaterial& material, std::string& error) {
    if (options.audioFiles.empty())
        prepareDemo(material, options.scripted);
    else if (!prepareFiles(material, options.audioFiles, error))
        return false;
    if (options.scripted) material.events = options.events;
    if (options.visIn.empty()) {
        material.source = analyzedVisSource(material, error);
        return material.source != nullptr;
    }
    std::vector<VisFrame> frames;
    if (!readVisFile(options.visIn, frames, error)) return false;
    material.source = std::make_unique<RecordedVisSource>(std::move(frames));
    return true;
}

void printSummary(const RenderResult& result, const FrameSink& sink) {
    std::fprintf(stderr, "zephyrdome: wrote %s: %.2f s of video in %.2f s (%.1f frames/s)%s\n",
                 sink.describe().c_str(), result.videoMs / 1000.0, result.seconds,
                 result.seconds > 0 ? result.frames / result.seconds : 0.0,
                 result.windowClosed ? "; the plug-in's window closed early" : "");
}
} // namespace

int runRenderCommand(const RenderOptions& options, const std::string& programPath) {
    std::string error;
    RenderMaterial material;
    if (!prepareMaterial(options, material, error)) return reportFailure(error);
    VisFileWriter visOut;
    if (!options.visOut.empty() && !visOut.open(options.visOut, error)) return reportFailure(error);
    RenderSession session(material.playlist);
    std::string plugin =
        options.pluginPath.empty() ? defaultPluginPath(programPath) : options.pluginPath;
    if (!session.open(plugin, error)) return reportFailure(error);
    std::unique_ptr<FrameSink> sink = openFrameSink(options.output, session.frameDelayMs(),
                                                    material.sampleRate, error, options.video);
    if (!sink) return reportFailure(error);

    RenderPlan plan;
    plan.source = material.source.get();
    plan.clips = material.clips.get();
    plan.outputSampleRate = material.sampleRate;
    plan.events = material.events;
    plan.startMs = options.startMs;
    plan.durationMs = options.durationMs;
    plan.sink = sink.get();
    plan.visOut = options.visOut.empty() ? nullptr : &visOut;
    plan.progress = !options.quiet && stderrIsTerminal();
    plan.renderThread = options.renderThread;
    RenderResult result;
    bool ok = session.start(plan, error);
    if (ok) synthesizeDemo(options, material);
    if (!ok || !session.run(plan, result, error) || (plan.visOut && !visOut.commit(error))) {
        sink->abandon();
        visOut.abandon();
        return reportFailure(error);
    }
    if (!options.quiet) printSummary(result, *sink);
    return 0;
}

int renderMain(int argc, char** argv, const char* version) {
    CommandKind command;
    RenderOptions options;
    std::string error;
    if (!parseCommandLine(argc, argv, command, options, error)) {
        std::fprintf(stderr, "zephyrdome: %s\n", error.c_str());
        return 2;
    }
    if (command == CommandKind::overview || command == CommandKind::help) {
        std::fputs(command == CommandKind::overview ? overviewText : usageText, stdout);
        return 0;
    }
    if (command == CommandKind::version) {
        std::printf("zephyrdome %s\n", version);
        return 0;
    }
    return runRenderCommand(options, argv[0]);
}
