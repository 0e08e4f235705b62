// The audio a listener hears while the frames are shown, collected frame by
// frame (entry switches included) and muxed into the video at the end.
// Stereo 16-bit at one rate; entries at other rates are resampled linearly.
#pragma once

#include "audio_clip.h"

#include <cstdint>
#include <string>
#include <vector>

class PlayedAudio {
  public:
    explicit PlayedAudio(int sampleRate) : sampleRate_(sampleRate) {}

    int sampleRate() const { return sampleRate_; }
    const std::vector<std::int16_t>& samples() const { return samples_; }
    long long durationMs() const { return durationMs_; }

    // `ms` milliseconds of `clip` from `fromMs` on; silence where `clip` is
    // null or runs out.
    void append(const AudioClip* clip, long long fromMs, int ms);

  private:
    int sampleRate_;
    long long durationMs_ = 0;
    std::vector<std::int16_t> samples_;
};

// A WAV file of the collected audio, through libsndfile.
bool writeWavFile(const std::string& path, const PlayedAudio& audio, std::string& error);
