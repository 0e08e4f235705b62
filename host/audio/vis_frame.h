// One frame of the audio data a player hands a visualisation plug-in: 576
// spectrum bytes and 576 waveform bytes, one channel of each. Every source of
// frames (live analysis, a recording) produces this record.
#pragma once

constexpr int visFrameSamples = 576;

struct VisFrame {
    unsigned char spectrum[visFrameSamples];
    unsigned char waveform[visFrameSamples];
};
