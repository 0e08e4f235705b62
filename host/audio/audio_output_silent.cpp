#include "audio/audio_output.h"

#include <chrono>
#include <cmath>

namespace {
using Clock = std::chrono::steady_clock;

class SilentOutput : public AudioOutput {
  public:
    explicit SilentOutput(int sampleRate) : rate_(sampleRate), resumed_(Clock::now()) {}

    int sampleRate() const override { return rate_; }
    void write(const std::int16_t*, long long frames) override { written_ += frames; }
    long long writtenFrames() const override { return written_; }

    // A starved output waits for its next frames, as a sound card's clock does.
    double heardFrames() override {
        double heard = runSeconds() * rate_ - stalled_;
        if (heard > written_) {
            stalled_ += heard - written_;
            heard = double(written_);
        }
        return heard;
    }

    void setPaused(bool paused) override {
        if (paused == paused_) return;
        if (paused) playedSeconds_ = runSeconds();
        resumed_ = Clock::now();
        paused_ = paused;
    }

    void discardQueued() override { written_ = static_cast<long long>(std::ceil(heardFrames())); }

  private:
    double runSeconds() const {
        if (paused_) return playedSeconds_;
        return playedSeconds_ + std::chrono::duration<double>(Clock::now() - resumed_).count();
    }

    int rate_;
    long long written_ = 0;
    double stalled_ = 0.0; // frames of clock time that found nothing to hear
    double playedSeconds_ = 0.0;
    bool paused_ = false;
    Clock::time_point resumed_;
};
} // namespace

std::unique_ptr<AudioOutput> openSilentOutput(int sampleRate) {
    return std::make_unique<SilentOutput>(sampleRate);
}
