// The built-in demo played when no audio is given: about 20 seconds of
// synthesized music in three playlist entries (a groove with kick, bass,
// chords and hi-hats, a quiet passage, a loud finale), and a key script that
// shows every ring mode, the help page, a manual turn and an inflated sphere.
#pragma once

#include "audio_clip.h"
#include "key_script.h"

#include <string>
#include <vector>

struct DemoTrack {
    std::string title;
    AudioClip clip;
};

constexpr int demoSampleRate = 44100;

// Same samples on every call and every machine: no randomness but a fixed-seed generator.
std::vector<DemoTrack> synthesizeDemoTracks();
std::vector<InputEvent> demoInputScript();
