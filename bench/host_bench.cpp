// The host's own work per frame, without the plug-in: decoding (spread over
// the frames the audio lasts), the mono mix, FFT and bytes, the played-audio
// copy and an empty message pump. Then the plug-in's frame as the host drives
// it: onRender, presented, captured, at 634 by 458 on whatever EGL offers.
#include "audio/audio_decode.h"
#include "audio/demo_song.h"
#include "audio/played_audio.h"
#include "audio/vis_analyzer.h"
#include "audio/vis_source.h"
#include "session/frame_capture.h"
#include "session/host_window.h"
#include "session/input_script_player.h"
#include "session/plugin_driver.h"
#include "session/plugin_location.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {
constexpr int frameMs = 25;

const AudioClip& demoClip() {
    static AudioClip clip = synthesizeDemoTracks()[2].clip;
    return clip;
}

// The loud demo track as a 16-bit stereo file of the given format.
std::string demoFile(int format, const char* name) {
    std::string path = (std::filesystem::temp_directory_path() / name).string();
    SF_INFO info = {};
    info.samplerate = demoSampleRate;
    info.channels = 2;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    sf_writef_short(file, demoClip().samples.data(), demoClip().frameCount());
    sf_close(file);
    return path;
}

void decodeBench(benchmark::State& state, int format, const char* name) {
    std::string path = demoFile(format, name);
    std::string error;
    AudioClip clip;
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeAudioFile(path, clip, error));
    double frames = static_cast<double>(clip.durationMs()) / frameMs;
    state.counters["per_frame"] = benchmark::Counter(
        frames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    std::filesystem::remove(path);
}

void BM_DecodeWav(benchmark::State& state) {
    decodeBench(state, SF_FORMAT_WAV | SF_FORMAT_PCM_16, "zd_bench.wav");
}
void BM_DecodeFlac(benchmark::State& state) {
    decodeBench(state, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "zd_bench.flac");
}
void BM_DecodeMp3(benchmark::State& state) {
    decodeBench(state, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, "zd_bench.mp3");
}

// Everything the host does for a frame besides the plug-in and the output.
void BM_HostFrameWork(benchmark::State& state) {
    ClipStore clips([](int, AudioClip& clip, std::string&) { return clip = demoClip(), true; });
    AnalyzedVisSource source(clips);
    PlayedAudio played(demoSampleRate);
    long long ms = 0;
    VisFrame frame;
    std::string error;
    for (auto _ : state) {
        source.frameFor(0, 0, ms, frame, error);
        played.append(clips.clipFor(0, error), ms, frameMs);
        dispatchPendingMessages();
        benchmark::DoNotOptimize(frame);
        // As a render hands the sound on: a second at a time.
        if (played.samples().size() >= 2u * demoSampleRate) played.takeSamples();
        ms = (ms + frameMs) % demoClip().durationMs();
    }
}

void BM_AnalyzeOnly(benchmark::State& state) {
    VisAnalyzer analyzer;
    std::int16_t block[visBlockSamples];
    long long first = 0;
    VisFrame frame;
    for (auto _ : state) {
        mixToMono(demoClip(), first, visBlockSamples, block);
        analyzer.analyze(block, frame);
        benchmark::DoNotOptimize(frame);
        first = (first + demoSampleRate / 40) % demoClip().frameCount();
    }
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * (values.size() - 1))];
}

// onRender with fresh bytes, the picture of a frame `pictureLag` back collected, the
// queue pumped: one frame of a render minus the encoder, read back as the
// render command reads it. Median and 99th percentile in ms.
void BM_PluginFrame(benchmark::State& state) {
    static const char* const program = "host_bench";
    Playlist playlist({{"", "Z:\\bench\\loud.wav", -1}});
    HostWindow host;
    PluginDriver driver;
    std::string error;
    // As the render command does: each picture is collected a little late.
    keepPicturesForLater();
    WaitingPictures waiting;
    if (!host.create(playlist, error) || !driver.load(defaultPluginPath(program), error) ||
        !driver.start(host.handle(), demoSampleRate, 2, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    ClipStore clips([](int, AudioClip& clip, std::string&) { return clip = demoClip(), true; });
    AnalyzedVisSource source(clips);
    std::vector<double> times;
    long long ms = 0;
    for (auto _ : state) {
        VisFrame frame;
        source.frameFor(0, 0, ms, frame, error);
        auto start = std::chrono::steady_clock::now();
        driver.render(frame);
        waiting.frameDrawn(driver.renderWindow());
        FrameImage image;
        if (waiting.more(pictureLag) && waiting.collect(driver.renderWindow(), image))
            benchmark::DoNotOptimize(image.rgba[image.width * image.height * 2]);
        dispatchPendingMessages();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        ms = (ms + frameMs) % demoClip().durationMs();
    }
    driver.stop();
    dispatchPendingMessages();
    state.counters["median_ms"] = percentile(times, 0.5);
    state.counters["p99_ms"] = percentile(times, 0.99);
}
} // namespace

BENCHMARK(BM_DecodeWav)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeFlac)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeMp3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostFrameWork)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnalyzeOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PluginFrame)->Unit(benchmark::kMillisecond)->Iterations(800);
BENCHMARK_MAIN();
