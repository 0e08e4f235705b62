#include "audio/audio_clip.h"

#include <cmath>

std::int16_t toSample16(float value) {
    float scaled = std::nearbyint(value * 32768.0f);
    if (scaled > 32767.0f) return 32767;
    if (scaled < -32768.0f) return -32768;
    return static_cast<std::int16_t>(scaled);
}

void mixToMono(const AudioClip& clip, long long first, int count, std::int16_t* out) {
    long long frames = clip.frameCount();
    for (int i = 0; i < count; ++i) {
        long long frame = first + i;
        if (frame < 0 || frame >= frames) {
            out[i] = 0;
        } else if (clip.channels == 1) {
            out[i] = clip.samples[frame];
        } else {
            // Floor of the mean, so equal channels give back the same value.
            int sum = clip.samples[2 * frame] + clip.samples[2 * frame + 1];
            out[i] = static_cast<std::int16_t>(sum >> 1);
        }
    }
}

// Floats so every format is read the same way; clipped to 16 bits afterwards.
void appendAudioFrames(const float* interleaved, long long frames, int fileChannels,
                       AudioClip& clip) {
    for (long long f = 0; f < frames; ++f) {
        const float* frame = &interleaved[f * fileChannels];
        if (clip.channels == fileChannels) {
            for (int c = 0; c < fileChannels; ++c)
                clip.samples.push_back(toSample16(frame[c]));
        } else {
            float sum = 0.0f;
            for (int c = 0; c < fileChannels; ++c)
                sum += frame[c];
            clip.samples.push_back(toSample16(sum / fileChannels));
        }
    }
}
