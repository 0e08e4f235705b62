#include "played_audio.h"

namespace {
std::int16_t sampleAt(const AudioClip& clip, double frame, int channel) {
    long long first = static_cast<long long>(frame);
    double fraction = frame - first;
    int c = clip.channels == 2 ? channel : 0;
    auto at = [&](long long f) -> double {
        return f >= 0 && f < clip.frameCount() ? clip.samples[f * clip.channels + c] : 0.0;
    };
    if (fraction == 0.0) return static_cast<std::int16_t>(at(first));
    return static_cast<std::int16_t>(at(first) + (at(first + 1) - at(first)) * fraction);
}
} // namespace

void PlayedAudio::append(const AudioClip* clip, long long fromMs, int ms) {
    long long end = (durationMs_ + ms) * sampleRate_ / 1000;
    long long count = end - static_cast<long long>(samples_.size() / 2);
    durationMs_ += ms;
    for (long long i = 0; i < count; ++i) {
        if (!clip || clip->sampleRate <= 0) {
            samples_.push_back(0);
            samples_.push_back(0);
            continue;
        }
        double frame = static_cast<double>(fromMs * clip->sampleRate) / 1000.0 +
                       static_cast<double>(i * clip->sampleRate) / sampleRate_;
        samples_.push_back(sampleAt(*clip, frame, 0));
        samples_.push_back(sampleAt(*clip, frame, 1));
    }
}
