// The plug-in's frame against a reference: projectM drawing a simple preset
// at the same 634 by 458, fed the same demo audio, finished and read back the
// way the plug-in's presented frame is captured. Frames alternate between the
// two within one run, so both see the same load on a shared machine.
#include "audio/demo_song.h"
#include "audio/vis_source.h"
#include "projectm_frame.h"
#include "session/frame_capture.h"
#include "session/host_window.h"
#include "session/input_script_player.h"
#include "session/plugin_driver.h"
#include "session/plugin_location.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {
constexpr int frameMs = 25;
constexpr int frameSamples = demoSampleRate * frameMs / 1000;
constexpr int clientWidth = 634;
constexpr int clientHeight = 458;
// Shader compiles and first-touch allocations stay out of the figures.
constexpr int warmUpFrames = 20;

const AudioClip& demoClip() {
    static AudioClip clip = synthesizeDemoTracks()[2].clip;
    return clip;
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * (values.size() - 1))];
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// The plug-in's side, as host_bench's BM_PluginFrame drives it.
class PluginSide {
  public:
    PluginSide()
        : playlist_({{"", "Z:\\bench\\loud.wav", -1}}),
          clips_([](int, AudioClip& clip, std::string&) { return clip = demoClip(), true; }),
          source_(clips_) {}
    ~PluginSide() {
        driver_.stop();
        dispatchPendingMessages();
    }

    bool start(std::string& error) {
        keepPicturesForLater();
        return host_.create(playlist_, error) &&
               driver_.load(defaultPluginPath("projectm_bench"), error) &&
               driver_.start(host_.handle(), demoSampleRate, 2, error);
    }

    // onRender with fresh bytes, this frame's own picture collected (as
    // projectM's side reads its own back), the queue pumped.
    double frame(long long ms) {
        VisFrame frame;
        std::string error;
        source_.frameFor(0, 0, ms, frame, error);
        auto start = std::chrono::steady_clock::now();
        driver_.render(frame);
        waiting_.frameDrawn(driver_.renderWindow());
        FrameImage image;
        if (waiting_.collect(driver_.renderWindow(), image))
            benchmark::DoNotOptimize(image.rgba[image.width * image.height * 2]);
        dispatchPendingMessages();
        return millisecondsSince(start);
    }

  private:
    Playlist playlist_;
    HostWindow host_;
    PluginDriver driver_;
    ClipStore clips_;
    AnalyzedVisSource source_;
    WaitingPictures waiting_;
};

// projectM's side: the same 25 ms of sound the plug-in's bytes came from.
double projectMFrame(ProjectMFrame& reference, long long ms) {
    long long first = ms * demoSampleRate / 1000;
    first = std::min(first, demoClip().frameCount() - frameSamples);
    reference.addSound(demoClip().samples.data() + first * 2, frameSamples);
    reference.enter();
    auto start = std::chrono::steady_clock::now();
    const unsigned char* pixels = reference.renderAndRead();
    benchmark::DoNotOptimize(pixels[clientWidth * clientHeight * 2]);
    double elapsed = millisecondsSince(start);
    reference.leave();
    return elapsed;
}

void reportFigures(benchmark::State& state, const std::vector<double>& plugin,
                   const std::vector<double>& reference) {
    double pluginMedian = percentile(plugin, 0.5);
    double pluginP99 = percentile(plugin, 0.99);
    double referenceMedian = percentile(reference, 0.5);
    double referenceP99 = percentile(reference, 0.99);
    state.counters["zd_median_ms"] = pluginMedian;
    state.counters["zd_p99_ms"] = pluginP99;
    state.counters["pm_median_ms"] = referenceMedian;
    state.counters["pm_p99_ms"] = referenceP99;
    state.counters["pm_over_zd_median"] = referenceMedian / pluginMedian;
    state.counters["pm_over_zd_p99"] = referenceP99 / pluginP99;
}

void BM_PluginVsProjectM(benchmark::State& state) {
    std::string error;
    PluginSide plugin;
    ProjectMFrame reference;
    if (!plugin.start(error) ||
        !reference.open(clientWidth, clientHeight, PROJECTM_BENCH_PRESET, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    state.SetLabel(reference.glVersion());
    long long ms = 0;
    auto advance = [&ms] { ms = (ms + frameMs) % demoClip().durationMs(); };
    for (int i = 0; i < warmUpFrames; ++i, advance()) {
        plugin.frame(ms);
        projectMFrame(reference, ms);
    }
    std::vector<double> pluginTimes;
    std::vector<double> referenceTimes;
    for (auto _ : state) {
        pluginTimes.push_back(plugin.frame(ms));
        referenceTimes.push_back(projectMFrame(reference, ms));
        advance();
    }
    reportFigures(state, pluginTimes, referenceTimes);
}
} // namespace

BENCHMARK(BM_PluginVsProjectM)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK_MAIN();
