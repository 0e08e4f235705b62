// Per-frame reduction of the host's spectrum and waveform bytes to the values
// that animate the scene. computeAudioFeatures runs first in every onRender;
// the scene only reads the result. Nothing is carried from frame to frame.
#pragma once

struct VisModule;

constexpr int audioBandCount = 20;
constexpr int audioWavePointCount = 50;

struct WavePoint {
    float x;
    float z;
};

struct AudioFeatures {
    float bandLevels[audioBandCount];
    int bassLevel;
    int loudness;
    float loudnessOffset;
    WavePoint wavePoints[audioWavePointCount];
};

extern AudioFeatures audioFeatures;

void computeAudioFeatures(const VisModule* module);
int absValue(int value);
