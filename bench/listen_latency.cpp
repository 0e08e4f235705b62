// Capture-to-frame latency of `zephyrdome listen`: the real capture, session
// and plug-in, headless, for a few seconds. A frame's latency is how long its
// newest sample waited in the sound server before the host read it, plus the
// time from that read until the plug-in's frame was presented (the wait for
// the frame's turn and the frame's own work). Needs a sound server:
// bench/listen_latency.sh plays a tone into the one that runs, or into a
// private one it starts where none does.
//   build/linux/bin/listen_latency [SECONDS]
#include "audio/sound_capture.h"
#include "session/host_window.h"
#include "session/listen_session.h"
#include "session/live_display.h"
#include "session/plugin_driver.h"
#include "session/plugin_location.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {
int fail(const std::string& message) {
    std::fprintf(stderr, "listen_latency: %s\n", message.c_str());
    return 1;
}

// User and system time of the whole process (capture, session, plug-in and
// llvmpipe's threads) so far, in seconds.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double percentile(const std::vector<double>& sorted, double fraction) {
    return sorted[std::min(sorted.size() - 1, size_t(fraction * double(sorted.size())))];
}
} // namespace

int main(int argc, char** argv) {
    int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    keepWindowsOffDesktop();
    std::string error;
    std::unique_ptr<SoundCapture> capture = openSoundCapture(CaptureRequest{}, error);
    if (!capture) return fail(error);
    ListenPanel panel;
    LiveTrace untraced(false);
    panel.follow(capture->description(), PlayerTracks{}, untraced);
    HostWindow host;
    PluginDriver driver;
    if (!host.create(panel.playlist(), error) || !driver.load(defaultPluginPath(argv[0]), error) ||
        !driver.start(host.handle(), capture->sampleRate(), 2, error))
        return fail(error);
    ListenSession session(host, driver, *capture, panel, nullptr);
    ListenResult result;
    double cpuBefore = cpuSeconds();
    bool ok = session.run({seconds * 1000LL, false}, result, error);
    double cpu = cpuSeconds() - cpuBefore;
    driver.stop();
    if (!ok) return fail(error);
    // The first second is the stream settling: the server's timing reports
    // start high and fall within it. It is shown apart.
    const size_t settling = size_t(1000 / driver.frameDelayMs());
    if (result.latencyMs.size() <= settling)
        return fail("no sound arrived from " + capture->description());
    std::vector<double> start(result.latencyMs.begin(), result.latencyMs.begin() + settling);
    std::vector<double> latency(result.latencyMs.begin() + settling, result.latencyMs.end());
    std::sort(latency.begin(), latency.end());
    std::printf("source: %s\n", capture->description().c_str());
    std::printf("frames: %lld in %.2f s (%.2f frames/s), %.0f%% of one core\n", result.frames,
                result.seconds, result.frames / result.seconds, 100.0 * cpu / result.seconds);
    std::printf("capture to frame, ms, after the first second: min %.1f  median %.1f  p95 %.1f  "
                "max %.1f\n",
                latency[0], percentile(latency, 0.5), percentile(latency, 0.95), latency.back());
    std::printf("capture to frame, ms, in the first second: max %.1f\n",
                *std::max_element(start.begin(), start.end()));
    return 0;
}
