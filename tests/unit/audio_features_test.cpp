#include "audio/audio_features.h"
#include "shell/vis_module.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class AudioFeaturesTest : public ::testing::Test {
  protected:
    VisModule module = {};
    unsigned char* spectrum = module.spectrum[0];
    unsigned char* waveform = module.waveform[0];

    const AudioFeatures& compute() {
        computeAudioFeatures(&module);
        return audioFeatures;
    }
};

TEST_F(AudioFeaturesTest, SilenceGivesZeroLevelsAndTheLoudnessOffsetOfMinusEight) {
    std::memset(&audioFeatures, 0x7f, sizeof(audioFeatures));
    const AudioFeatures& f = compute();
    for (float level : f.bandLevels) EXPECT_EQ(level, 0.0f);
    EXPECT_EQ(f.bassLevel, 0);
    EXPECT_EQ(f.loudness, 0);
    EXPECT_EQ(f.loudnessOffset, -8.0f);
    for (const WavePoint& p : f.wavePoints) {
        EXPECT_EQ(p.x, 0.0f);
        EXPECT_EQ(p.z, 0.0f);
    }
}

TEST_F(AudioFeaturesTest, FullScaleBytesSumBandsInSinglePrecisionOneBinAtATime) {
    std::memset(module.spectrum, 255, sizeof(module.spectrum));
    std::memset(module.waveform, 255, sizeof(module.waveform));
    const AudioFeatures& f = compute();
    // Ten quotients of 5.1 rounded to float after each addition land one ulp
    // below 51; a sum kept in double would round to exactly 51.
    uint32_t expectedBits = 0x424bffff;
    float expected;
    std::memcpy(&expected, &expectedBits, sizeof(expected));
    for (float level : f.bandLevels) EXPECT_EQ(level, expected);
    EXPECT_EQ(f.bassLevel, 1860);
    EXPECT_EQ(f.loudness, 293);
    EXPECT_EQ(f.loudnessOffset, 285.0f);
    for (const WavePoint& p : f.wavePoints) {
        EXPECT_EQ(p.x, 4.25f);
        EXPECT_EQ(p.z, 4.25f);
    }
}

TEST_F(AudioFeaturesTest, BassNeedsASumOf138ToRiseAndRisesInStepsOfSix) {
    spectrum[120] = 100;
    spectrum[287] = 37;
    EXPECT_EQ(compute().bassLevel, 0);
    spectrum[287] = 38;
    EXPECT_EQ(compute().bassLevel, 6);
    spectrum[200] = 138;
    EXPECT_EQ(compute().bassLevel, 12);
}

TEST_F(AudioFeaturesTest, BinsAbove287LeaveBassAloneAndBin575CountsForNothing) {
    for (int bin = 288; bin < 576; ++bin) spectrum[bin] = 255;
    EXPECT_EQ(compute().bassLevel, 0);
    const int loudnessWithout575 = compute().loudness;
    EXPECT_EQ(loudnessWithout575, 287 * 255 / 500);

    std::memset(module.spectrum, 0, sizeof(module.spectrum));
    spectrum[575] = 255;
    const AudioFeatures& f = compute();
    EXPECT_EQ(f.loudness, 0);
    EXPECT_EQ(f.bassLevel, 0);
    for (float level : f.bandLevels) EXPECT_EQ(level, 0.0f);
}

TEST_F(AudioFeaturesTest, LoudnessBelowFiveHundredStaysAtZero) {
    spectrum[0] = 255;
    spectrum[574] = 244;
    EXPECT_EQ(compute().loudness, 0);
    EXPECT_EQ(audioFeatures.loudnessOffset, -8.0f);
    spectrum[300] = 1;
    EXPECT_EQ(compute().loudness, 1);
    EXPECT_EQ(audioFeatures.loudnessOffset, -7.0f);
}

TEST_F(AudioFeaturesTest, BandOrderRunsOppositeToBinOrder) {
    spectrum[195] = 100;
    const AudioFeatures& high = compute();
    EXPECT_EQ(high.bandLevels[0], 2.0f);
    for (int band = 1; band < audioBandCount; ++band) EXPECT_EQ(high.bandLevels[band], 0.0f);

    spectrum[195] = 0;
    spectrum[5] = 100;
    const AudioFeatures& low = compute();
    EXPECT_EQ(low.bandLevels[19], 2.0f);
    for (int band = 0; band < 19; ++band) EXPECT_EQ(low.bandLevels[band], 0.0f);

    spectrum[5] = 0;
    for (int bin = 200; bin < 576; ++bin) spectrum[bin] = 255;
    for (float level : compute().bandLevels) EXPECT_EQ(level, 0.0f);
}

TEST_F(AudioFeaturesTest, WaveformBytesAreUnsignedAndOnlyTheFirstHundredCount) {
    waveform[0] = 128;
    waveform[49] = 127;
    waveform[50] = 60;
    waveform[99] = 255;
    for (int i = 100; i < 576; ++i) waveform[i] = 200;
    const AudioFeatures& f = compute();
    EXPECT_EQ(f.wavePoints[0].x, static_cast<float>(128 / 60.0));
    EXPECT_GT(f.wavePoints[0].x, 2.13f);
    EXPECT_EQ(f.wavePoints[49].x, static_cast<float>(127 / 60.0));
    EXPECT_EQ(f.wavePoints[0].z, 1.0f);
    EXPECT_EQ(f.wavePoints[49].z, 4.25f);
    for (int i = 1; i < 49; ++i) {
        EXPECT_EQ(f.wavePoints[i].x, 0.0f);
        EXPECT_EQ(f.wavePoints[i].z, 0.0f);
    }
}

TEST_F(AudioFeaturesTest, OnlyRowZeroIsRead) {
    std::memset(module.spectrum[1], 255, visSampleCount);
    std::memset(module.waveform[1], 255, visSampleCount);
    const AudioFeatures& f = compute();
    EXPECT_EQ(f.loudness, 0);
    EXPECT_EQ(f.wavePoints[0].x, 0.0f);
}

} // namespace
