// The sound track follows what played, frame by frame.
#include "audio/played_audio.h"

#include <gtest/gtest.h>

namespace {
AudioClip ramp(int rate, int channels, int frames) {
    AudioClip clip;
    clip.sampleRate = rate;
    clip.channels = channels;
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            clip.samples.push_back(static_cast<std::int16_t>(f * 10 + c));
    return clip;
}
} // namespace

TEST(PlayedAudio, framesOfTheClipAtTheOutputRateCopyExactly) {
    AudioClip clip = ramp(8000, 2, 1000);
    PlayedAudio played(8000);
    played.append(&clip, 25, 25); // frames 200 to 399
    ASSERT_EQ(played.samples().size(), 400u);
    EXPECT_EQ(played.samples()[0], 2000);
    EXPECT_EQ(played.samples()[1], 2001);
    EXPECT_EQ(played.samples()[398], 3990);
    EXPECT_EQ(played.durationMs(), 25);
}

TEST(PlayedAudio, monoIsHeardOnBothSidesAndSilenceFillsTheRest) {
    AudioClip clip = ramp(8000, 1, 300);
    PlayedAudio played(8000);
    played.append(&clip, 25, 25);  // frames 200 to 399 of 300
    played.append(nullptr, 0, 25); // nothing playing
    ASSERT_EQ(played.samples().size(), 800u);
    EXPECT_EQ(played.samples()[0], 2000);
    EXPECT_EQ(played.samples()[1], 2000);
    EXPECT_EQ(played.samples()[198], 2990);
    EXPECT_EQ(played.samples()[200], 0);
    EXPECT_EQ(played.samples()[799], 0);
}

TEST(PlayedAudio, otherRatesAreInterpolatedAndFrameLengthsAddUpExactly) {
    AudioClip clip = ramp(4000, 1, 1000);
    PlayedAudio played(8000);
    for (int i = 0; i < 3; ++i)
        played.append(&clip, i * 25, 25);
    ASSERT_EQ(played.samples().size(), 2u * 600);
    EXPECT_EQ(played.samples()[2 * 1], 5); // half way between frames 0 and 1
    EXPECT_EQ(played.samples()[2 * 201], 1005);
    PlayedAudio odd(44100);
    for (int i = 0; i < 40; ++i)
        odd.append(nullptr, 0, 25);
    EXPECT_EQ(odd.samples().size(), 2u * 44100); // 1102.5 frames a frame, none lost
}

TEST(PlayedAudio, takingTheSamplesKeepsCountingTime) {
    AudioClip clip = ramp(8000, 1, 2000);
    PlayedAudio played(8000);
    played.append(&clip, 0, 25);
    played.takeSamples();
    played.append(&clip, 25, 25);
    EXPECT_EQ(played.samples().size(), 400u);
    EXPECT_EQ(played.samples()[0], 2000);
    EXPECT_EQ(played.durationMs(), 50);
}
