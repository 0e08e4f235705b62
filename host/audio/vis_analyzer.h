// Turns 16-bit mono audio into the bytes a player hands a visualisation
// plug-in for one frame.
//
// Waveform: the first 576 samples of the block, each as its high byte (a
// signed 8-bit sample stored in an unsigned byte, as players do).
// Spectrum: an FFT of the whole 1152-sample block under a periodic Hann
// window; byte k is bin k (k x sampleRate / 1152 Hz, so 576 bytes run from DC
// up to just below half the sample rate). Each bin's amplitude is normalised
// so a full-scale sine centred on a bin reads 1.0 (4 |X_k| / 1152); the byte
// is that amplitude times visSpectrumGain times 255, rounded and clipped.
// Silence is 0 and a tone at -12 dBFS reaches 255; in ordinary music the bass
// bins swing over most of the range while the weak upper bins stay near 0,
// which keeps the scene's raw sums (speaker heights, loudness rings) in view.
// FFTW plans with FFTW_ESTIMATE, so the same audio always gives the same bytes.
#pragma once

#include "audio/vis_frame.h"

#include <cstdint>

constexpr int visBlockSamples = 2 * visFrameSamples;
// Amplitude (1.0 for a full-scale sine on a bin centre) times this, times 255.
constexpr float visSpectrumGain = 4.0f;

class VisAnalyzer {
  public:
    VisAnalyzer();
    ~VisAnalyzer();
    VisAnalyzer(const VisAnalyzer&) = delete;
    VisAnalyzer& operator=(const VisAnalyzer&) = delete;

    // `block` holds visBlockSamples mono samples.
    void analyze(const std::int16_t* block, VisFrame& frame);

  private:
    struct Fft;
    Fft* fft_;
};

unsigned char waveformByte(std::int16_t sample);
unsigned char spectrumByte(float amplitude);
