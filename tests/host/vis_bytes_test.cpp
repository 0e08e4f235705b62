// The bytes the host hands the plug-in for known signals.
#include "audio/audio_clip.h"
#include "audio/audio_decode.h"
#include "audio/vis_analyzer.h"
#include "test_audio.h"

#include <sndfile.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
VisFrame analyze(const std::vector<std::int16_t>& block) {
    VisAnalyzer analyzer;
    VisFrame frame;
    analyzer.analyze(block.data(), frame);
    return frame;
}

int peakBin(const VisFrame& frame) {
    return static_cast<int>(std::max_element(frame.spectrum, frame.spectrum + visFrameSamples) -
                            frame.spectrum);
}

constexpr int rate = 44100;
double binHz(int bin) {
    return bin * double(rate) / visBlockSamples;
}
} // namespace

TEST(VisBytes, silenceGivesZeroSpectrumAndZeroWaveform) {
    VisFrame frame = analyze(std::vector<std::int16_t>(visBlockSamples, 0));
    for (int i = 0; i < visFrameSamples; ++i) {
        EXPECT_EQ(frame.spectrum[i], 0) << "bin " << i;
        EXPECT_EQ(frame.waveform[i], 0) << "sample " << i;
    }
}

TEST(VisBytes, fullScaleSineLandsAt255InItsBinAndFallsOffAround) {
    for (int bin : {5, 40, 195, 300, 500}) {
        VisFrame frame = analyze(sineSamples(binHz(bin), rate, visBlockSamples, 1.0));
        // Full scale saturates the main lobe symmetrically around the bin.
        EXPECT_EQ(frame.spectrum[bin], 255);
        EXPECT_EQ(frame.spectrum[bin - 1], frame.spectrum[bin + 1]) << "bin " << bin;
        frame = analyze(sineSamples(binHz(bin), rate, visBlockSamples, 1.0 / 16));
        EXPECT_EQ(peakBin(frame), bin);
        // The Hann window's main lobe is two bins wide either side; beyond it, far below.
        EXPECT_LT(frame.spectrum[bin + 3], 128) << "bin " << bin;
        EXPECT_LT(frame.spectrum[bin - 3], 128) << "bin " << bin;
    }
}

TEST(VisBytes, quieterSinesReadInProportionToTheirAmplitude) {
    // Amplitude 1/16 (-24 dBFS) times the gain of 4 is a quarter of full scale: 63.75.
    VisFrame frame = analyze(sineSamples(binHz(100), rate, visBlockSamples, 1.0 / 16));
    EXPECT_NEAR(frame.spectrum[100], 64, 1);
    frame = analyze(sineSamples(binHz(100), rate, visBlockSamples, 1.0 / 32));
    EXPECT_NEAR(frame.spectrum[100], 32, 1);
}

// Recordings depend on every byte, so one known mix pins them all: a tone on
// bin 10 (230 there, half of it either side under the Hann window), one half
// way between bins 60 and 61 and one near bin 200, whose leakage shows the
// window's shape. Each byte is at least 0.07 from a rounding boundary, so only
// a change in the analysis moves one; a symmetric Hann window takes bin 10 to 229.
TEST(VisBytes, aKnownMixOfTonesGivesExactlyTheseSpectrumBytes) {
    std::vector<int> mix(visBlockSamples, 0);
    for (auto [bin, amplitude] : {std::pair{10.0, 0.2251}, {60.5, 0.05}, {200.4, 0.03}}) {
        std::vector<std::int16_t> tone =
            sineSamples(bin * double(rate) / visBlockSamples, rate, visBlockSamples, amplitude);
        for (int i = 0; i < visBlockSamples; ++i)
            mix[i] += tone[i];
    }
    VisFrame frame = analyze(std::vector<std::int16_t>(mix.begin(), mix.end()));
    std::vector<int> expected(visFrameSamples, 0);
    const std::pair<int, int> nonZero[] = {{9, 115}, {10, 230}, {11, 115}, {58, 1},  {59, 9},
                                           {60, 43}, {61, 43},  {62, 9},   {63, 1},  {198, 1},
                                           {199, 7}, {200, 28}, {201, 24}, {202, 4}, {203, 1}};
    for (const auto& [bin, byte] : nonZero)
        expected[bin] = byte;
    EXPECT_EQ(std::vector<int>(frame.spectrum, frame.spectrum + visFrameSamples), expected);
}

TEST(VisBytes, spectrumBytesAreLinearInAmplitudeAndClipAt255) {
    EXPECT_EQ(spectrumByte(0.0f), 0);
    EXPECT_EQ(spectrumByte(-1.0f), 0);
    EXPECT_EQ(spectrumByte(1e-4f), 0);
    EXPECT_EQ(spectrumByte(0.1f), 102);
    EXPECT_EQ(spectrumByte(0.25f), 255);
    EXPECT_EQ(spectrumByte(4.0f), 255);
}

TEST(VisBytes, squareWaveWaveformIsTheHighByteOfEachSample) {
    std::vector<std::int16_t> block(visBlockSamples);
    for (int i = 0; i < visBlockSamples; ++i)
        block[i] = (i / 50) % 2 ? -32768 : 32767;
    VisFrame frame = analyze(block);
    for (int i = 0; i < visFrameSamples; ++i)
        ASSERT_EQ(frame.waveform[i], (i / 50) % 2 ? 0x80 : 0x7F) << "sample " << i;
}

TEST(VisBytes, smallNegativeSamplesKeepTheirSignInTheHighByte) {
    EXPECT_EQ(waveformByte(-1), 0xFF);
    EXPECT_EQ(waveformByte(-256), 0xFF);
    EXPECT_EQ(waveformByte(-257), 0xFE);
    EXPECT_EQ(waveformByte(255), 0x00);
    EXPECT_EQ(waveformByte(256), 0x01);
}

TEST(VisBytes, theSameAudioAlwaysGivesTheSameBytes) {
    std::vector<std::int16_t> block = sineSamples(1234.5, rate, visBlockSamples, 0.3);
    for (int i = 0; i < visBlockSamples; ++i)
        block[i] += static_cast<std::int16_t>((i * 7919) % 2001 - 1000);
    VisFrame first = analyze(block);
    VisAnalyzer second;
    VisFrame again;
    second.analyze(block.data(), again);
    second.analyze(block.data(), again);
    EXPECT_EQ(0, std::memcmp(&first, &again, sizeof first));
}

TEST(VisBytes, stereoIsMixedToMonoAndSilencePadsBeyondTheClip) {
    AudioClip clip;
    clip.sampleRate = rate;
    clip.channels = 2;
    clip.samples = {1000, 3000, -2000, -3001, 5, 6};
    std::int16_t mono[6];
    mixToMono(clip, -1, 6, mono);
    EXPECT_EQ(std::vector<std::int16_t>(mono, mono + 6),
              (std::vector<std::int16_t>{0, 2000, -2501, 5, 0, 0}));
}

TEST(VisBytes, decodedWavGivesBackItsSixteenBitSamples) {
    ScratchFolder folder;
    std::vector<std::int16_t> samples = {0, 1, -1, 32767, -32768, 12345, -12345, 256};
    writeAudioFile(folder.path("s.wav"), samples, 8000, 1, SF_FORMAT_WAV);
    AudioClip clip;
    std::string error;
    ASSERT_TRUE(decodeAudioFile(folder.path("s.wav"), clip, error)) << error;
    EXPECT_EQ(clip.sampleRate, 8000);
    EXPECT_EQ(clip.channels, 1);
    EXPECT_EQ(clip.samples, samples);
}

TEST(VisBytes, flacOggAndMp3DecodeThroughTheSameCall) {
    ScratchFolder folder;
    std::vector<std::int16_t> samples = sineSamples(440.0, rate, rate / 2, 0.5);
    writeAudioFile(folder.path("s.flac"), samples, rate, 1, SF_FORMAT_FLAC);
    writeAudioFile(folder.path("s.ogg"), samples, rate, 1, SF_FORMAT_OGG);
    writeAudioFile(folder.path("s.mp3"), samples, rate, 1,
                   SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
    for (const char* name : {"s.flac", "s.ogg", "s.mp3"}) {
        AudioClip clip;
        std::string error;
        ASSERT_TRUE(decodeAudioFile(folder.path(name), clip, error)) << error;
        EXPECT_NEAR(clip.frameCount(), rate / 2, 2000) << name; // MP3 pads a little
        VisFrame frame;
        VisAnalyzer analyzer;
        std::int16_t block[visBlockSamples];
        mixToMono(clip, 4000, visBlockSamples, block);
        analyzer.analyze(block, frame);
        EXPECT_NEAR(peakBin(frame), 440.0 / binHz(1), 1) << name;
    }
}

TEST(VisBytes, undecodableFilesAreRefusedWithTheirName) {
    ScratchFolder folder;
    std::FILE* junk = std::fopen(folder.path("junk.wav").c_str(), "wb");
    std::fputs("this is not audio at all", junk);
    std::fclose(junk);
    AudioClip clip;
    std::string error;
    EXPECT_FALSE(decodeAudioFile(folder.path("junk.wav"), clip, error));
    EXPECT_NE(error.find("junk.wav"), std::string::npos) << error;
    EXPECT_FALSE(decodeAudioFile(folder.path("missing.flac"), clip, error));
    EXPECT_NE(error.find("missing.flac"), std::string::npos) << error;
}
