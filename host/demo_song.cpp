#include "demo_song.h"

#include <cmath>
#include <cstdint>

namespace {
constexpr double pi = 3.14159265358979323846;
constexpr double beatSeconds = 0.5; // 120 beats per minute

struct Stereo {
    std::vector<float> left, right;
    explicit Stereo(double seconds)
        : left(static_cast<size_t>(seconds * demoSampleRate)), right(left.size()) {}
    size_t size() const { return left.size(); }
    void add(size_t i, float value, float pan) {
        if (i >= size()) return;
        left[i] += value * (1.0f - pan);
        right[i] += value * (1.0f + pan);
    }
};

double noteHz(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

// A minor, F, C, G: one chord per bar of four beats.
const int chordRoots[4] = {57, 53, 48, 55};
const int chordShapes[4][3] = {{0, 3, 7}, {0, 4, 7}, {0, 4, 7}, {0, 4, 7}};

void addKick(Stereo& out, double at, float gain) {
    size_t start = static_cast<size_t>(at * demoSampleRate);
    double phase = 0.0;
    for (int i = 0; i < demoSampleRate / 3; ++i) {
        double t = double(i) / demoSampleRate;
        phase += 2.0 * pi * (45.0 + 110.0 * std::exp(-t * 30.0)) / demoSampleRate;
        out.add(start + i, gain * float(std::sin(phase) * std::exp(-t * 9.0)), 0.0f);
    }
}

void addBass(Stereo& out, double at, double seconds, int note, float gain) {
    size_t start = static_cast<size_t>(at * demoSampleRate);
    double hz = noteHz(note);
    for (int i = 0; i < int(seconds * demoSampleRate); ++i) {
        double t = double(i) / demoSampleRate;
        double value = 0.0;
        for (int h = 1; h <= 6; ++h)
            value += std::sin(2.0 * pi * hz * h * t) / h;
        out.add(start + i, gain * float(value * std::exp(-t * 4.0)), 0.0f);
    }
}

void addChord(Stereo& out, double at, double seconds, int bar, float gain) {
    size_t start = static_cast<size_t>(at * demoSampleRate);
    for (int i = 0; i < int(seconds * demoSampleRate); ++i) {
        double t = double(i) / demoSampleRate;
        double envelope = std::min(1.0, t * 8.0) * std::min(1.0, (seconds - t) * 8.0);
        for (int n = 0; n < 3; ++n) {
            double hz = noteHz(chordRoots[bar % 4] + 12 + chordShapes[bar % 4][n]);
            double value = std::sin(2.0 * pi * hz * t) + 0.3 * std::sin(4.0 * pi * hz * t);
            out.add(start + i, gain * float(value * envelope), n == 0 ? -0.4f : 0.4f * (n - 1));
        }
    }
}

// White noise from a fixed-seed generator, differenced to keep the highs.
void addHat(Stereo& out, double at, float gain, std::uint32_t& seed) {
    size_t start = static_cast<size_t>(at * demoSampleRate);
    float previous = 0.0f;
    for (int i = 0; i < demoSampleRate / 12; ++i) {
        seed = seed * 1664525u + 1013904223u;
        float noise = float(seed >> 8) / float(1 << 23) - 1.0f;
        float t = float(i) / demoSampleRate;
        out.add(start + i, gain * (noise - previous) * std::exp(-t * 60.0f), 0.5f);
        previous = noise;
    }
}

void addLead(Stereo& out, double at, double seconds, int note, float gain) {
    size_t start = static_cast<size_t>(at * demoSampleRate);
    double hz = noteHz(note);
    for (int i = 0; i < int(seconds * demoSampleRate); ++i) {
        double t = double(i) / demoSampleRate;
        double square = std::sin(2.0 * pi * hz * t) >= 0.0 ? 1.0 : -1.0;
        out.add(start + i, gain * float(square * std::exp(-t * 3.0)), -0.3f);
    }
}

// Soft-clips into 16 bits so the loud part is loud without wrapping around.
AudioClip toClip(const Stereo& mix) {
    AudioClip clip;
    clip.sampleRate = demoSampleRate;
    clip.channels = 2;
    clip.samples.reserve(mix.size() * 2);
    for (size_t i = 0; i < mix.size(); ++i) {
        clip.samples.push_back(toSample16(float(std::tanh(mix.left[i]))));
        clip.samples.push_back(toSample16(float(std::tanh(mix.right[i]))));
    }
    return clip;
}

const int bassLine[8] = {0, 0, 12, 0, 7, 0, 10, 12};

AudioClip groove(double seconds, float level, bool finale) {
    Stereo mix(seconds);
    std::uint32_t seed = finale ? 7u : 3u;
    int beats = int(seconds / beatSeconds);
    for (int beat = 0; beat < beats; ++beat) {
        double at = beat * beatSeconds;
        int bar = beat / 4;
        addKick(mix, at, 0.9f * level);
        if (beat % 4 == 0) addChord(mix, at, 4 * beatSeconds, bar, 0.12f * level);
        for (int half = 0; half < 2; ++half) {
            int step = (beat * 2 + half) % 8;
            addBass(mix, at + half * beatSeconds / 2, beatSeconds / 2,
                    chordRoots[bar % 4] - 24 + bassLine[step], 0.35f * level);
            addHat(mix, at + half * beatSeconds / 2, 0.25f * level, seed);
            if (finale) addHat(mix, at + (half + 0.5) * beatSeconds / 2, 0.15f * level, seed);
            if (finale)
                addLead(mix, at + half * beatSeconds / 2, beatSeconds / 2,
                        chordRoots[bar % 4] + 24 + bassLine[(step + 3) % 8], 0.18f);
        }
    }
    return toClip(mix);
}

AudioClip quietPassage(double seconds) {
    Stereo mix(seconds);
    for (int bar = 0; bar * 4 * beatSeconds < seconds; ++bar)
        addChord(mix, bar * 4 * beatSeconds, 4 * beatSeconds, bar + 1, 0.03f);
    return toClip(mix);
}
} // namespace

std::vector<DemoTrack> synthesizeDemoTracks() {
    std::vector<DemoTrack> tracks;
    tracks.push_back({"01 - Zephyr Groove", groove(7.0, 1.0f, false)});
    tracks.push_back({"02 - Quiet Passage", quietPassage(5.0)});
    tracks.push_back({"03 - Loud Finale", groove(8.0, 1.6f, true)});
    return tracks;
}
