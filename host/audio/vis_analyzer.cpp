#include "audio/vis_analyzer.h"

#include <fftw3.h>

#include <cmath>

struct VisAnalyzer::Fft {
    float* input;
    fftwf_complex* output;
    fftwf_plan plan;
    float window[visBlockSamples];
};

VisAnalyzer::VisAnalyzer() : fft_(new Fft) {
    fft_->input = fftwf_alloc_real(visBlockSamples);
    fft_->output = fftwf_alloc_complex(visBlockSamples / 2 + 1);
    fft_->plan = fftwf_plan_dft_r2c_1d(visBlockSamples, fft_->input, fft_->output, FFTW_ESTIMATE);
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < visBlockSamples; ++i)
        fft_->window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * pi * i / visBlockSamples));
}

VisAnalyzer::~VisAnalyzer() {
    fftwf_destroy_plan(fft_->plan);
    fftwf_free(fft_->output);
    fftwf_free(fft_->input);
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
    for (int i = 0; i < visBlockSamples; ++i)
        fft_->input[i] = block[i] * (fft_->window[i] / 32768.0f);
    fftwf_execute(fft_->plan);
    const float norm = 4.0f / visBlockSamples;
    for (int k = 0; k < visFrameSamples; ++k) {
        float re = fft_->output[k][0];
        float im = fft_->output[k][1];
        frame.spectrum[k] = spectrumByte(std::sqrt(re * re + im * im) * norm);
    }
}
