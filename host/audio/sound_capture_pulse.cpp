// Recording through libpulse's asynchronous API: the stream asks the server
// for fragments of a few milliseconds, so a sample waits little before the
// next frame can show it, and for a stream the server never moves
// (PA_STREAM_DONT_MOVE). Following the default output is then our own
// doing: a thread watches the server's default and records from its new
// monitor when it changes, so what is recorded and the name shown agree on
// PulseAudio and on PipeWire alike.
#include "audio/pulse_source.h"
#include "audio/sound_capture.h"

#include <pulse/stream.h>
#include <pulse/subscribe.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
constexpr int captureRate = 44100;
// 256 samples: 5.8 ms a fragment.
constexpr int fragmentSamples = 256;
// Room for a second; a frame takes 1152 samples (26 ms).
constexpr size_t historySamples = captureRate;
// A sound starts when a fragment peaks above a sixteenth of full scale
// after a tenth of a second with none that did (a fade-in on the way up
// does not hide the start).
constexpr int loudPeak = 2048;
constexpr size_t quietBeforeRise = captureRate / 10;
// How often a lost default output is looked for again.
constexpr auto retryStep = std::chrono::milliseconds(100);

WaitLimit limitFrom(const CaptureRequest& request) {
    return {Clock::now() + request.limit, request.stopped};
}

std::string secondsText(std::chrono::milliseconds limit) {
    return std::to_string((limit.count() + 999) / 1000) + " s";
}

class PulseCapture : public SoundCapture {
  public:
    PulseCapture(bool follow, std::chrono::milliseconds limit)
        : follow_(follow), limit_(limit), history_(historySamples, 0) {}
    ~PulseCapture() override;

    bool open(const CaptureRequest& request, std::string& error);

    int sampleRate() const override { return captureRate; }
    std::string description() override { return source().description; }
    CaptureMoment latest(std::int16_t* samples, int count) override;
    SoundSourceInfo source() {
        std::lock_guard<std::mutex> lock(mutex_);
        return source_;
    }
    std::string failure() override {
        std::lock_guard<std::mutex> lock(mutex_);
        return failure_;
    }

  private:
    pa_stream* connectStream(const SoundSourceInfo& source, const WaitLimit& limit,
                             std::string& error);
    void dropStream();
    void watchDefault();
    bool followDefault(bool lost, std::string& error);
    void store(const std::int16_t* samples, size_t count);
    void fail(const std::string& why);

    static void onRead(pa_stream* stream, size_t, void* user);
    static void onStreamState(pa_stream* stream, void* user);
    static void onServerEvent(pa_context*, pa_subscription_event_type_t, uint32_t, void* user);

    PulseConnection pulse_;
    const bool follow_;
    const std::chrono::milliseconds limit_;
    pa_stream* stream_ = nullptr; // under the loop's lock

    std::mutex mutex_; // what the frames read
    SoundSourceInfo source_;
    std::vector<std::int16_t> history_;
    size_t written_ = 0;
    CaptureMoment moment_;
    size_t quietSamples_ = quietBeforeRise; // nothing heard yet counts as silence
    std::string failure_;

    std::mutex watchMutex_; // the default follower's wake-ups
    std::condition_variable wake_;
    bool defaultMayHaveChanged_ = false;
    bool streamLost_ = false;
    std::atomic<bool> stopping_{false};
    std::thread follower_;
};

PulseCapture::~PulseCapture() {
    stopping_ = true;
    wake_.notify_all();
    if (follower_.joinable()) follower_.join();
    if (pulse_.context()) dropStream();
}

bool PulseCapture::open(const CaptureRequest& request, std::string& error) {
    WaitLimit limit = limitFrom(request);
    if (!pulse_.connect(limit, error)) return false;
    SoundSourceInfo source;
    if (follow_ ? !findDefaultMonitor(pulse_, limit, source, error)
                : !findPulseSource(pulse_, request.source, limit, source, error))
        return false;
    pa_stream* stream = connectStream(source, limit, error);
    if (!stream) return false;
    source_ = source;
    PulseConnection::Lock lock(pulse_);
    stream_ = stream;
    if (follow_) {
        pa_context_set_subscribe_callback(pulse_.context(), onServerEvent, this);
        pa_operation* operation =
            pa_context_subscribe(pulse_.context(), PA_SUBSCRIPTION_MASK_SERVER, nullptr, nullptr);
        if (operation) pa_operation_unref(operation);
        follower_ = std::thread([this] { watchDefault(); });
    }
    return true;
}

// Mono at the rate the analysis is made for; the server mixes down and resamples.
pa_stream* PulseCapture::connectStream(const SoundSourceInfo& source, const WaitLimit& limit,
                                       std::string& error) {
    pa_sample_spec format{PA_SAMPLE_S16LE, captureRate, 1};
    pa_buffer_attr buffer{};
    buffer.maxlength = uint32_t(-1);
    buffer.fragsize = fragmentSamples * sizeof(std::int16_t);
    pa_stream* stream;
    {
        PulseConnection::Lock lock(pulse_);
        stream = pa_stream_new(pulse_.context(), "visualisation", &format, nullptr);
        if (!stream) {
            error = "cannot record from '" + source.name + "': " + pulseError(pulse_.context());
            return nullptr;
        }
        pa_stream_set_read_callback(stream, onRead, this);
        pa_stream_set_state_callback(stream, onStreamState, this);
        auto flags = pa_stream_flags_t(PA_STREAM_DONT_MOVE | PA_STREAM_ADJUST_LATENCY |
                                       PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_INTERPOLATE_TIMING);
        pa_stream_connect_record(stream, source.name.c_str(), &buffer, flags);
    }
    Waited waited = pulse_.waitFor(
        [&] {
            pa_stream_state_t state = pa_stream_get_state(stream);
            return state != PA_STREAM_UNCONNECTED && state != PA_STREAM_CREATING;
        },
        limit);
    PulseConnection::Lock lock(pulse_);
    if (waited == Waited::done && pa_stream_get_state(stream) == PA_STREAM_READY) return stream;
    if (waited == Waited::timedOut)
        error = "the sound server gave no stream from '" + source.name + "' within " +
                secondsText(limit_) +
                "; is its session manager (WirePlumber, for PipeWire) running?";
    else if (waited == Waited::done)
        error = "cannot record from '" + source.name + "': " + pulseError(pulse_.context());
    pa_stream_set_read_callback(stream, nullptr, nullptr);
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_disconnect(stream);
    pa_stream_unref(stream);
    return nullptr;
}

void PulseCapture::dropStream() {
    PulseConnection::Lock lock(pulse_);
    if (!stream_) return;
    pa_stream_set_read_callback(stream_, nullptr, nullptr);
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
}

CaptureMoment PulseCapture::latest(std::int16_t* samples, int count) {
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

void PulseCapture::store(const std::int16_t* samples, size_t count) {
    int peak = 0;
    for (size_t i = 0; samples && i < count; ++i)
        peak = std::max(peak, std::abs(int(samples[i])));
    Clock::time_point now = Clock::now();
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = 0; i < count; ++i)
        history_[written_++ % historySamples] = samples ? samples[i] : 0;
    moment_.arrived = now;
    if (peak >= loudPeak && quietSamples_ >= quietBeforeRise) moment_.rose = now;
    quietSamples_ = peak < loudPeak ? quietSamples_ + count : 0;
}

void PulseCapture::fail(const std::string& why) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (failure_.empty()) failure_ = why;
}

// What is left in the server once every fragment is taken is how long the
// newest sample taken waited there (a fragment not yet dropped would count).
void PulseCapture::onRead(pa_stream* stream, size_t, void* user) {
    auto* capture = static_cast<PulseCapture*>(user);
    const void* data = nullptr;
    size_t bytes = 0;
    while (pa_stream_peek(stream, &data, &bytes) == 0 && bytes > 0) {
        // No data with a size is a hole in the stream: silence.
        capture->store(static_cast<const std::int16_t*>(data), bytes / sizeof(std::int16_t));
        pa_stream_drop(stream);
    }
    pa_usec_t waited = 0;
    int negative = 0;
    if (pa_stream_get_latency(stream, &waited, &negative) != 0 || negative) waited = 0;
    std::lock_guard<std::mutex> lock(capture->mutex_);
    capture->moment_.serverMs = double(waited) / 1000.0;
}

// A pinned source that goes ends the recording; a followed one is replaced
// by whatever the server plays to now.
void PulseCapture::onStreamState(pa_stream* stream, void* user) {
    auto* capture = static_cast<PulseCapture*>(user);
    pa_stream_state_t state = pa_stream_get_state(stream);
    if (stream != capture->stream_ || PA_STREAM_IS_GOOD(state)) return;
    if (!capture->follow_) {
        SoundSourceInfo source = capture->source();
        capture->fail("the source '" + source.name + "' (" + source.description +
                      ") went away, so listening stopped");
        return;
    }
    std::lock_guard<std::mutex> lock(capture->watchMutex_);
    capture->streamLost_ = true;
    capture->defaultMayHaveChanged_ = true;
    capture->wake_.notify_all();
}

void PulseCapture::onServerEvent(pa_context*, pa_subscription_event_type_t, uint32_t, void* user) {
    auto* capture = static_cast<PulseCapture*>(user);
    std::lock_guard<std::mutex> lock(capture->watchMutex_);
    capture->defaultMayHaveChanged_ = true;
    capture->wake_.notify_all();
}

// Wakes on the server's events and, while the stream is lost, every tenth
// of a second, until the default output's monitor records again; fails once
// the stream has been lost for the limit.
void PulseCapture::watchDefault() {
    Clock::time_point lostAt;
    std::string error;
    for (;;) {
        bool lost;
        {
            std::unique_lock<std::mutex> lock(watchMutex_);
            auto woken = [this] { return defaultMayHaveChanged_ || stopping_; };
            if (streamLost_)
                wake_.wait_for(lock, retryStep, woken);
            else
                wake_.wait(lock, woken);
            if (stopping_) return;
            defaultMayHaveChanged_ = false;
            lost = streamLost_;
        }
        if (!lost)
            lostAt = {};
        else if (lostAt == Clock::time_point{})
            lostAt = Clock::now();
        if (followDefault(lost, error) || !lost || Clock::now() - lostAt < limit_) continue;
        if (!stopping_) fail("listening stopped: " + error);
        return;
    }
}

// Records from the default output's monitor when that is another source now
// or the stream was lost; false, with the reason, when it cannot.
bool PulseCapture::followDefault(bool lost, std::string& error) {
    WaitLimit limit{Clock::now() + limit_, [this] { return stopping_.load(); }};
    SoundSourceInfo source;
    error.clear();
    if (!findDefaultMonitor(pulse_, limit, source, error)) return false;
    if (!lost && source.name == source_.name) return true;
    dropStream();
    {
        std::lock_guard<std::mutex> watch(watchMutex_);
        streamLost_ = true;
    }
    pa_stream* stream = connectStream(source, limit, error);
    if (!stream) return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        source_ = source;
    }
    {
        PulseConnection::Lock lock(pulse_);
        stream_ = stream;
    }
    std::lock_guard<std::mutex> watch(watchMutex_);
    streamLost_ = false;
    return true;
}
} // namespace

std::unique_ptr<SoundCapture> openSoundCapture(const CaptureRequest& request, std::string& error) {
    auto capture = std::make_unique<PulseCapture>(request.source.empty(), request.limit);
    if (!capture->open(request, error)) return nullptr;
    return capture;
}

bool listSoundSources(const CaptureRequest& request, std::vector<SoundSourceInfo>& sources,
                      std::string& error) {
    PulseConnection pulse;
    WaitLimit limit = limitFrom(request);
    return pulse.connect(limit, error) && listPulseSources(pulse, limit, sources, error);
}
