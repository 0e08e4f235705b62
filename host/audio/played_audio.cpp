#include "audio/played_audio.h"

namespace {
// Frame `frame` of `clip` as a stereo pair; silence outside the clip.
inline void stereoAt(const AudioClip& clip, long long frame, std::int16_t* out) {
    if (frame < 0 || frame >= clip.frameCount()) return;
    const std::int16_t* in = &clip.samples[frame * clip.channels];
    out[0] = in[0];
    out[1] = in[clip.channels - 1];
}

void copyFrames(const AudioClip& clip, long long first, long long count, std::int16_t* out) {
    for (long long i = 0; i < count; ++i)
        stereoAt(clip, first + i, out + 2 * i);
}

// Linear interpolation from the clip's rate to the output's.
void resampleFrames(const AudioClip& clip, double first, double step, long long count,
                    std::int16_t* out) {
    for (long long i = 0; i < count; ++i) {
        double position = first + i * step;
        long long frame = static_cast<long long>(position);
        double fraction = position - frame;
        std::int16_t a[2] = {0, 0}, b[2] = {0, 0};
        stereoAt(clip, frame, a);
        stereoAt(clip, frame + 1, b);
        for (int c = 0; c < 2; ++c)
            out[2 * i + c] = static_cast<std::int16_t>(a[c] + (b[c] - a[c]) * fraction);
    }
}
} // namespace

void PlayedAudio::append(const AudioClip* clip, long long fromMs, int ms) {
    long long end = (durationMs_ + ms) * sampleRate_ / 1000;
    size_t at = samples_.size();
    long long count = end - framesCollected_;
    durationMs_ += ms;
    if (count <= 0) return;
    framesCollected_ = end;
    samples_.resize(at + 2 * count, 0);
    if (!clip || clip->sampleRate <= 0) return;
    std::int16_t* out = &samples_[at];
    if (clip->sampleRate == sampleRate_) {
        copyFrames(*clip, fromMs * sampleRate_ / 1000, count, out);
        return;
    }
    double first = static_cast<double>(fromMs) * clip->sampleRate / 1000.0;
    resampleFrames(*clip, first, static_cast<double>(clip->sampleRate) / sampleRate_, count, out);
}
