// The sound card through SDL2's callback: the device thread takes frames
// from a queue, and each request tells how far the device has got. SDL2
// gives no playing position of its own, so the one heard is estimated from
// the requests: when the device asks for a buffer, the previous buffer has
// just started to sound; in between, time moves it on at the sample rate,
// never past the buffer just handed over. The estimate is thus tied to the
// device's own clock and cannot drift from it by more than a buffer.
#include "audio/audio_output.h"

#include <SDL.h>
#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <deque>

namespace {
using Clock = std::chrono::steady_clock;

// Small buffers keep the estimate close: 512 frames are 12 ms at 44.1 kHz.
constexpr int requestFrames = 512;

// ALSA prints every step of a failed device search to stderr (eight lines on
// a machine without a sound card) before SDL reports the one reason we show.
void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

class SdlOutput : public AudioOutput {
  public:
    ~SdlOutput() override {
        if (device_) SDL_CloseAudioDevice(device_);
        if (initialized_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool open(int sampleRate, std::string& error);
    int sampleRate() const override { return rate_; }
    void write(const std::int16_t* samples, long long frames) override;
    long long writtenFrames() const override { return written_; }
    double heardFrames() override;
    void setPaused(bool paused) override { SDL_PauseAudioDevice(device_, paused ? 1 : 0); }
    void discardQueued() override;

  private:
    static void SDLCALL fill(void* self, Uint8* stream, int bytes);

    bool initialized_ = false;
    SDL_AudioDeviceID device_ = 0;
    int rate_ = 0;
    int bufferFrames_ = requestFrames;
    long long written_ = 0;
    double lastHeard_ = 0.0;
    // Shared with the device thread, under SDL_LockAudioDevice.
    std::deque<std::int16_t> queue_;
    long long taken_ = 0; // frames handed to the device
    bool requested_ = false;
    bool starved_ = false;
    Clock::time_point lastRequest_;
};

bool SdlOutput::open(int sampleRate, std::string& error) {
    snd_lib_error_set_handler(ignoreAlsaMessage);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = SDL_GetError();
        return false;
    }
    initialized_ = true;
    SDL_AudioSpec want{}, have{};
    want.freq = sampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = requestFrames;
    want.callback = fill;
    want.userdata = this;
    // SDL converts rate and layout itself; only the buffer size may differ.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (!device_) {
        error = SDL_GetError();
        return false;
    }
    rate_ = sampleRate;
    bufferFrames_ = have.samples > 0 ? have.samples : requestFrames;
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void SDLCALL SdlOutput::fill(void* self, Uint8* stream, int bytes) {
    auto* output = static_cast<SdlOutput*>(self);
    auto* out = reinterpret_cast<std::int16_t*>(stream);
    size_t wanted = size_t(bytes) / sizeof(std::int16_t);
    size_t available = std::min(wanted, output->queue_.size() & ~size_t(1));
    std::copy_n(output->queue_.begin(), available, out);
    output->queue_.erase(output->queue_.begin(), output->queue_.begin() + long(available));
    // A starved device plays silence that is no part of the timeline.
    std::fill(out + available, out + wanted, std::int16_t(0));
    output->taken_ += long(available / 2);
    output->starved_ = available < wanted;
    // A request that found nothing says nothing new about what is sounding.
    if (available == 0) return;
    output->requested_ = true;
    output->lastRequest_ = Clock::now();
}

void SdlOutput::write(const std::int16_t* samples, long long frames) {
    SDL_LockAudioDevice(device_);
    queue_.insert(queue_.end(), samples, samples + 2 * frames);
    SDL_UnlockAudioDevice(device_);
    written_ += frames;
}

double SdlOutput::heardFrames() {
    SDL_LockAudioDevice(device_);
    double heard = 0.0;
    if (requested_) {
        double since = std::chrono::duration<double>(Clock::now() - lastRequest_).count();
        double started = double(taken_ - 2 * bufferFrames_);
        // Once the queue ran dry every frame taken goes out; otherwise the
        // buffer just handed over has yet to start.
        double latest = double(starved_ ? taken_ : taken_ - bufferFrames_);
        heard = std::min(started + since * rate_, latest);
    }
    SDL_UnlockAudioDevice(device_);
    lastHeard_ = std::max(lastHeard_, heard);
    return lastHeard_;
}

void SdlOutput::discardQueued() {
    SDL_LockAudioDevice(device_);
    queue_.clear();
    written_ = taken_;
    SDL_UnlockAudioDevice(device_);
}
} // namespace

std::unique_ptr<AudioOutput> openSoundCard(int sampleRate, std::string& error) {
    auto output = std::make_unique<SdlOutput>();
    if (!output->open(sampleRate, error)) return nullptr;
    return output;
}
