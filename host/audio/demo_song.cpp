#include "audio/demo_song.h"

#include <cmath>
#include <cstdint>

namespace {
constexpr double pi = 3.14159265358979323846;
constexpr double beatSeconds = 0.5; // 120 beats per minute

struct Stereo {
    std::vector<float> left, right;
    static size_t framesFor(double seconds) { return static_cast<size_t>(seconds * demoSampleRate); }
    explicit Stereo(double seconds) : left(framesFor(seconds)), right(left.size()) {}
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

// A sine by rotating a phasor: a few multiplications a sample instead of a
// sin() call, which keeps the demo's synthesis a small part of a render.
struct Oscillator {
    double re = 1.0, im = 0.0; // cos and sin of the phase, starting at 0
    double stepRe, stepIm;
    explicit Oscillator(double hz)
        : stepRe(std::cos(2.0 * pi * hz / demoSampleRate)),
          stepIm(std::sin(2.0 * pi * hz / demoSampleRate)) {}
    double next() {
        double value = im;
        double rotated = re * stepRe - im * stepIm;
        im = re * stepIm + im * stepRe;
        re = rotated;
        return value;
    }
};

// exp(-rate t) one sample at a time.
struct Decay {
    double value = 1.0, factor;
    explicit Decay(double rate) : factor(std::exp(-rate / demoSampleRate)) {}
    double next() {
        double v = value;
        value *= factor;
        return v;
    }
};

// A minor, F, C, G: one chord per bar of four beats.
const int chordRoots[4] = {57, 53, 48, 55};
const int chordShapes[4][3] = {{0, 3, 7}, {0, 4, 7}, {0, 4, 7}, {0, 4, 7}};

void addKick(Stereo& out, double at, float gain) {
    size_t start = static_cast<size_t>(at * demoSampleRate);
    // The pitch falls from 155 Hz to 45 Hz: the sweep is what makes it a kick.
    double phase = 0.0;
    Decay sweep(30.0), decay(9.0);
    for (int i = 0; i < demoSampleRate / 3; ++i) {
        phase += 2.0 * pi * (45.0 + 110.0 * sweep.next()) / demoSampleRate;
        out.add(start + i, gain * float(std::sin(phase) * decay.next()), 0.0f);
    }
}

void addBass(Stereo& out, double at, double seconds, int note, float gain) {
    size_t start = static_cast<size_t>(at * demoSampleRate);
    std::vector<Oscillator> harmonics;
    for (int h = 1; h <= 6; ++h)
        harmonics.emplace_back(noteHz(note) * h);
    Decay decay(4.0);
    for (int i = 0; i < int(seconds * demoSampleRate); ++i) {
        double value = 0.0;
        for (int h = 0; h < 6; ++h)
            value += harmonics[h].next() / (h + 1);
        out.add(start + i, gain * float(value * decay.next()), 0.0f);
    }
}

void addChord(Stereo& out, double at, double seconds, int bar, float gain) {
    size_t start = static_cast<size_t>(at * demoSampleRate);
    std::vector<Oscillator> tones, overtones;
    for (int n = 0; n < 3; ++n) {
        double hz = noteHz(chordRoots[bar % 4] + 12 + chordShapes[bar % 4][n]);
        tones.emplace_back(hz);
        overtones.emplace_back(2.0 * hz);
    }
    for (int i = 0; i < int(seconds * demoSampleRate); ++i) {
        double t = double(i) / demoSampleRate;
        double envelope = std::min(1.0, t * 8.0) * std::min(1.0, (seconds - t) * 8.0);
        for (int n = 0; n < 3; ++n) {
            double value = tones[n].next() + 0.3 * overtones[n].next();
            out.add(start + i, gain * float(value * envelope), n == 0 ? -0.4f : 0.4f * (n - 1));
        }
    }
}

// White noise from a fixed-seed generator, differenced to keep the highs.
void addHat(Stereo& out, double at, float gain, std::uint32_t& seed) {
    size_t start = static_cast<size_t>(at * demoSampleRate);
    float previous = 0.0f;
    Decay decay(60.0);
    for (int i = 0; i < demoSampleRate / 12; ++i) {
        seed = seed * 1664525u + 1013904223u;
        float noise = float(seed >> 8) / float(1 << 23) - 1.0f;
        out.add(start + i, gain * (noise - previous) * float(decay.next()), 0.5f);
        previous = noise;
    }
}

void addLead(Stereo& out, double at, double seconds, int note, float gain) {
    size_t start = static_cast<size_t>(at * demoSampleRate);
    Oscillator tone(noteHz(note));
    Decay decay(3.0);
    for (int i = 0; i < int(seconds * demoSampleRate); ++i) {
        double square = tone.next() >= 0.0 ? 1.0 : -1.0;
        out.add(start + i, gain * float(square * decay.next()), -0.3f);
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

// Each entry's title and length; the synthesis and the listing both read them.
struct DemoEntry {
    const char* title;
    double seconds;
};
const DemoEntry demoEntries[] = {
    {"01 - Zephyr Groove", 7.0}, {"02 - Quiet Passage", 5.0}, {"03 - Loud Finale", 8.0}};
} // namespace

std::vector<DemoTrack> synthesizeDemoTracks() {
    std::vector<DemoTrack> tracks;
    tracks.push_back({demoEntries[0].title, groove(demoEntries[0].seconds, 1.0f, false)});
    tracks.push_back({demoEntries[1].title, quietPassage(demoEntries[1].seconds)});
    tracks.push_back({demoEntries[2].title, groove(demoEntries[2].seconds, 1.6f, true)});
    return tracks;
}

std::vector<DemoTrackListing> demoTrackListing() {
    std::vector<DemoTrackListing> listing;
    for (const DemoEntry& entry : demoEntries) {
        long long frames = static_cast<long long>(Stereo::framesFor(entry.seconds));
        listing.push_back({entry.title, frames * 1000 / demoSampleRate});
    }
    return listing;
}
