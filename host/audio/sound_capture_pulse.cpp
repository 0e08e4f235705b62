// Recording through libpulse-simple on a thread of its own: the stream asks
// the server for fragments of a few milliseconds, so a sample waits little
// before the next frame can show it.
#include "audio/pulse_source.h"
#include "audio/sound_capture.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

const char* const defaultMonitorSource = "@DEFAULT_MONITOR@";

namespace {
constexpr int captureRate = 44100;
// 256 samples: 5.8 ms a fragment.
constexpr int fragmentSamples = 256;
// Room for a second; a frame takes 1152 samples (26 ms).
constexpr size_t historySamples = captureRate;

// Mono at the rate the analysis is made for; the server mixes down and resamples.
pa_simple* openStream(const std::string& source, std::string& error) {
    pa_sample_spec format{PA_SAMPLE_S16LE, captureRate, 1};
    pa_buffer_attr buffer{};
    buffer.maxlength = uint32_t(-1);
    buffer.fragsize = fragmentSamples * sizeof(std::int16_t);
    int code = 0;
    pa_simple* stream = pa_simple_new(nullptr, "zephyrdome", PA_STREAM_RECORD, source.c_str(),
                                      "visualisation", &format, nullptr, &buffer, &code);
    if (!stream) error = "cannot record from '" + source + "': " + pa_strerror(code);
    return stream;
}

class PulseCapture : public SoundCapture {
  public:
    PulseCapture(pa_simple* stream, std::string description)
        : stream_(stream), description_(std::move(description)), history_(historySamples, 0) {
        reader_ = std::thread([this] { read(); });
    }

    // The reader wakes at least once a fragment, so it sees the stop soon.
    ~PulseCapture() override {
        stop_ = true;
        reader_.join();
        pa_simple_free(stream_);
    }

    int sampleRate() const override { return captureRate; }
    const std::string& description() const override { return description_; }

    CaptureMoment latest(std::int16_t* samples, int count) override {
        std::lock_guard<std::mutex> lock(mutex_);
        size_t wanted = std::min(size_t(count), historySamples);
        std::fill(samples, samples + count - wanted, 0);
        std::int16_t* out = samples + count - wanted;
        for (size_t i = 0; i < wanted; ++i) {
            size_t back = wanted - i; // 1 is the newest sample
            out[i] = back <= written_ ? history_[(written_ - back) % historySamples] : 0;
        }
        return moment_;
    }

    std::string failure() override {
        std::lock_guard<std::mutex> lock(mutex_);
        return failure_;
    }

  private:
    void read() {
        std::vector<std::int16_t> fragment(fragmentSamples);
        while (!stop_) {
            int code = 0;
            if (pa_simple_read(stream_, fragment.data(), fragment.size() * sizeof fragment[0],
                               &code) < 0) {
                std::lock_guard<std::mutex> lock(mutex_);
                failure_ =
                    std::string("the sound server stopped the recording: ") + pa_strerror(code);
                return;
            }
            CaptureMoment moment;
            moment.arrived = std::chrono::steady_clock::now();
            pa_usec_t waited = pa_simple_get_latency(stream_, &code);
            moment.serverMs = waited == pa_usec_t(-1) ? 0.0 : double(waited) / 1000.0;
            std::lock_guard<std::mutex> lock(mutex_);
            for (std::int16_t sample : fragment)
                history_[written_++ % historySamples] = sample;
            moment_ = moment;
        }
    }

    pa_simple* stream_;
    std::string description_;
    std::vector<std::int16_t> history_;
    size_t written_ = 0;
    CaptureMoment moment_;
    std::string failure_;
    std::mutex mutex_;
    std::atomic<bool> stop_{false};
    std::thread reader_;
};
} // namespace

std::unique_ptr<SoundCapture> openSoundCapture(const std::string& source, std::string& error) {
    PulseSourceInfo info;
    if (!findPulseSource(source.empty() ? defaultMonitorSource : source, info, error))
        return nullptr;
    pa_simple* stream = openStream(info.name, error);
    if (!stream) return nullptr;
    return std::make_unique<PulseCapture>(stream, info.description);
}
