// The built-in demo played when no audio is given: about 20 seconds of
// synthesized music in three playlist entries (a groove with kick, bass,
// chords and hi-hats, a quiet passage, a loud finale). Its key script is in
// session/demo_script.h.
#pragma once

#include "audio/audio_clip.h"

#include <string>
#include <vector>

struct DemoTrack {
    std::string title;
    AudioClip clip;
};

constexpr int demoSampleRate = 44100;

// Same samples on every call and every machine: no randomness but a fixed-seed generator.
std::vector<DemoTrack> synthesizeDemoTracks();

// The titles and lengths the synthesis gives, without synthesizing: a
// playlist can be shown while the sound is still being made.
struct DemoTrackListing {
    std::string title;
    long long durationMs = 0;
};
std::vector<DemoTrackListing> demoTrackListing();
