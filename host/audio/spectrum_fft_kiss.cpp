#include "audio/spectrum_fft.h"
#include "audio/vis_analyzer.h"

#include <kiss_fftr.h>

struct SpectrumFft::Plan {
    kiss_fftr_cfg config;
    float input[visBlockSamples];
    kiss_fft_cpx output[visBlockSamples / 2 + 1];
};

SpectrumFft::SpectrumFft() : plan_(new Plan) {
    plan_->config = kiss_fftr_alloc(visBlockSamples, 0, nullptr, nullptr);
}

SpectrumFft::~SpectrumFft() {
    kiss_fftr_free(plan_->config);
    delete plan_;
}

float* SpectrumFft::input() {
    return plan_->input;
}

void SpectrumFft::run() {
    kiss_fftr(plan_->config, plan_->input, plan_->output);
}

float SpectrumFft::real(int bin) const {
    return plan_->output[bin].r;
}

float SpectrumFft::imaginary(int bin) const {
    return plan_->output[bin].i;
}
