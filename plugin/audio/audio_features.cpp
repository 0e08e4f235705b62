#include "audio/audio_features.h"

#include "shell/vis_module.h"

AudioFeatures audioFeatures;

namespace {

constexpr int binsPerBand = 10;
constexpr int bassFirstBin = 120;
constexpr int bassLastBin = 287;
constexpr int bassDivisor = 138;
constexpr int bassStep = 6;
// Bin 575 is left out of the loudness sum.
constexpr int loudnessLastBin = 574;
constexpr int loudnessDivisor = 500;
constexpr float loudnessBias = 8.0f;
constexpr double waveScale = 60.0;

void computeBandLevels(const unsigned char* spectrum) {
    for (int band = 0; band < audioBandCount; ++band) {
        // Band 0 comes from the highest of the 200 bins used, band 19 from the lowest.
        const int firstBin = (audioBandCount - 1 - band) * binsPerBand;
        float& level = audioFeatures.bandLevels[band];
        level = 0.0f;
        for (int j = 0; j < binsPerBand; ++j)
            level = static_cast<float>(level + spectrum[firstBin + j] / 50.0);
    }
}

int sumBins(const unsigned char* spectrum, int first, int last) {
    int sum = 0;
    for (int bin = first; bin <= last; ++bin) sum += absValue(spectrum[bin]);
    return sum;
}

} // namespace

int absValue(int value) { return value < 0 ? -value : value; }

void computeAudioFeatures(const VisModule* module) {
    const unsigned char* spectrum = module->spectrum[0];
    const unsigned char* waveform = module->waveform[0];

    computeBandLevels(spectrum);
    audioFeatures.bassLevel = sumBins(spectrum, bassFirstBin, bassLastBin) / bassDivisor * bassStep;
    audioFeatures.loudness = sumBins(spectrum, 0, loudnessLastBin) / loudnessDivisor;
    audioFeatures.loudnessOffset = static_cast<float>(audioFeatures.loudness) - loudnessBias;

    for (int i = 0; i < audioWavePointCount; ++i) {
        audioFeatures.wavePoints[i].x = static_cast<float>(waveform[i] / waveScale);
        audioFeatures.wavePoints[i].z = static_cast<float>(waveform[audioWavePointCount + i] / waveScale);
    }
}
