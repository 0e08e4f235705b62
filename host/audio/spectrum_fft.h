// The real transform behind the spectrum bytes: a block of visBlockSamples
// floats in, the complex bins out. FFTW on Linux (spectrum_fft_fftw.cpp);
// KISS FFT in a web page (spectrum_fft_kiss.cpp), where FFTW does not build.
#pragma once

class SpectrumFft {
  public:
    SpectrumFft();
    ~SpectrumFft();
    SpectrumFft(const SpectrumFft&) = delete;
    SpectrumFft& operator=(const SpectrumFft&) = delete;

    float* input(); // visBlockSamples samples, filled before run()
    void run();
    float real(int bin) const;
    float imaginary(int bin) const;

  private:
    struct Plan;
    Plan* plan_;
};
