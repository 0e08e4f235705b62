// Turns 16-bit mono audio into the bytes a player hands a visualisation
// plug-in for one frame.
//
// Waveform: the first 576 samples of the block, each as its high byte (a
// signed 8-bit sample stored in an unsigned byte, as players do).
// Spectrum: an FFT of the whole 1152-sample block under a periodic Hann
// window; byte k is bin k (k x sampleRate / 1152 Hz, so 576 bytes run from DC
// up to just below half the sample rate). Each bin's amplitude is normalised
// so a full-scale sine centred on a bin reads 1.0 (4 |X_k| / 1152), taken in
// decibels, and mapped linearly from -80 dB (byte 0) to 0 dB (byte 255),
// rounded and clipped: silence is 0, a full-scale tone 255, and ordinary
// music sits mostly between 60 and 220. FFTW plans with FFTW_ESTIMATE, so
// the same audio always gives the same bytes.
#pragma once

#include "vis_frame.h"

#include <cstdint>

constexpr int visBlockSamples = 2 * visFrameSamples;
constexpr float visSpectrumFloorDb = -80.0f;

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
