#include "audio/spectrum_fft.h"
#include "audio/vis_analyzer.h"

#include <fftw3.h>

struct SpectrumFft::Plan {
    float* input;
    fftwf_complex* output;
    fftwf_plan plan;
};

SpectrumFft::SpectrumFft() : plan_(new Plan) {
    plan_->input = fftwf_alloc_real(visBlockSamples);
    plan_->output = fftwf_alloc_complex(visBlockSamples / 2 + 1);
    plan_->plan =
        fftwf_plan_dft_r2c_1d(visBlockSamples, plan_->input, plan_->output, FFTW_ESTIMATE);
}

SpectrumFft::~SpectrumFft() {
    fftwf_destroy_plan(plan_->plan);
    fftwf_free(plan_->output);
    fftwf_free(plan_->input);
    delete plan_;
}

float* SpectrumFft::input() {
    return plan_->input;
}

void SpectrumFft::run() {
    fftwf_execute(plan_->plan);
}

float SpectrumFft::real(int bin) const {
    return plan_->output[bin][0];
}

float SpectrumFft::imaginary(int bin) const {
    return plan_->output[bin][1];
}
