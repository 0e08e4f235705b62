#include "audio/vis_analyzer.h"

#include "audio/spectrum_fft.h"

#include <cmath>

struct VisAnalyzer::Fft {
    SpectrumFft transform;
    float window[visBlockSamples];
};

VisAnalyzer::VisAnalyzer() : fft_(new Fft) {
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < visBlockSamples; ++i)
        fft_->window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * pi * i / visBlockSamples));
}

VisAnalyzer::~VisAnalyzer() {
    delete fft_;
}

unsigned char waveformByte(std::int16_t sample) {
    return static_cast<unsigned char>(static_cast<std::uint16_t>(sample) >> 8);
}

// Linear in amplitude, as players hand it over: the scene turns raw sums of
// these bytes into heights (speakers, history rings), so the weak upper bins of
// ordinary music must stay near zero. A sine at -12 dBFS already reads 255.
unsigned char spectrumByte(float amplitude) {
    const float scaled = std::nearbyint(amplitude * visSpectrumGain * 255.0f);
    if (!(scaled > 0.0f)) return 0;
    return scaled >= 255.0f ? 255 : static_cast<unsigned char>(scaled);
}

void VisAnalyzer::analyze(const std::int16_t* block, VisFrame& frame) {
    for (int i = 0; i < visFrameSamples; ++i)
        frame.waveform[i] = waveformByte(block[i]);
    float* input = fft_->transform.input();
    for (int i = 0; i < visBlockSamples; ++i)
        input[i] = block[i] * (fft_->window[i] / 32768.0f);
    fft_->transform.run();
    const float norm = 4.0f / visBlockSamples;
    for (int k = 0; k < visFrameSamples; ++k) {
        float re = fft_->transform.real(k);
        float im = fft_->transform.imaginary(k);
        frame.spectrum[k] = spectrumByte(std::sqrt(re * re + im * im) * norm);
    }
}
