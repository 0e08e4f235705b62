// Decoded audio as a player holds it before output: 16-bit samples,
// interleaved, one or two channels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AudioClip {
    int sampleRate = 0;
    int channels = 0; // 1 or 2; files with more channels are mixed down to mono
    std::vector<std::int16_t> samples;

    long long frameCount() const { return channels ? (long long)samples.size() / channels : 0; }
    long long durationMs() const { return sampleRate ? frameCount() * 1000 / sampleRate : 0; }
};

// Mono mix of `count` sample frames from `first` on, as the 16-bit values a
// player analyses; frames before the start or past the end are silence.
void mixToMono(const AudioClip& clip, long long first, int count, std::int16_t* out);

// Converts a float sample in [-1, 1] to 16 bits the way decoders do (x 32768, clipped).
std::int16_t toSample16(float value);

// Appends decoded frames of `fileChannels` interleaved floats: kept as they
// are when the clip has as many channels, mixed to mono otherwise.
void appendAudioFrames(const float* interleaved, long long frames, int fileChannels,
                       AudioClip& clip);
