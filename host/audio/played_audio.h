// The audio a listener hears while the frames are shown, collected frame by
// frame (entry switches included) for the video's sound track. Stereo 16-bit
// at one rate; entries at other rates are resampled linearly. The caller
// takes the samples away frame by frame (takeSamples), so one small buffer
// is reused for the whole render.
#pragma once

#include "audio/audio_clip.h"

#include <cstdint>
#include <string>
#include <vector>

class PlayedAudio {
  public:
    explicit PlayedAudio(int sampleRate) : sampleRate_(sampleRate) {}

    int sampleRate() const { return sampleRate_; }
    // Samples collected since the last takeSamples, interleaved left and right.
    const std::vector<std::int16_t>& samples() const { return samples_; }
    long long durationMs() const { return durationMs_; }
    void takeSamples() { samples_.clear(); }

    // `ms` milliseconds of `clip` from `fromMs` on; silence where `clip` is
    // null or runs out.
    void append(const AudioClip* clip, long long fromMs, int ms);

  private:
    int sampleRate_;
    long long durationMs_ = 0;
    long long framesCollected_ = 0;
    std::vector<std::int16_t> samples_;
};
