// The built-in demo: about twenty seconds in three entries, the same every
// time, with a script that shows every mode the plug-in has.
#include "audio/demo_song.h"
#include "output/progress.h"
#include "session/demo_script.h"

#include <gtest/gtest.h>

#include <set>

TEST(Demo, threeEntriesOfAboutTwentySecondsWithAQuietOneInTheMiddle) {
    std::vector<DemoTrack> tracks = synthesizeDemoTracks();
    ASSERT_EQ(tracks.size(), 3u);
    long long total = 0;
    std::vector<double> loudness;
    for (const DemoTrack& track : tracks) {
        EXPECT_EQ(track.clip.sampleRate, demoSampleRate);
        total += track.clip.durationMs();
        double sum = 0;
        for (std::int16_t s : track.clip.samples)
            sum += std::abs(s);
        loudness.push_back(sum / track.clip.samples.size());
    }
    EXPECT_EQ(total, 20000);
    EXPECT_LT(loudness[1] * 5, loudness[0]);
    EXPECT_GT(loudness[2], loudness[0] * 1.2);
}

TEST(Demo, synthesisIsTheSameEveryTime) {
    EXPECT_EQ(synthesizeDemoTracks()[2].clip.samples, synthesizeDemoTracks()[2].clip.samples);
}

// A render shows the playlist before the sound is made: the listing must be
// what the synthesis gives, or the panel and the entry changes would be off.
TEST(Demo, theListingHasTheSynthesizedTitlesAndLengths) {
    std::vector<DemoTrack> tracks = synthesizeDemoTracks();
    std::vector<DemoTrackListing> listing = demoTrackListing();
    ASSERT_EQ(listing.size(), tracks.size());
    for (size_t i = 0; i < tracks.size(); ++i) {
        EXPECT_EQ(listing[i].title, tracks[i].title);
        EXPECT_EQ(listing[i].durationMs, tracks[i].clip.durationMs());
    }
}

TEST(Demo, theScriptPressesEveryRingModeHelpManualTurnsAndHoldsUp) {
    std::vector<InputEvent> events = demoInputScript();
    std::set<unsigned> pressed;
    int upRepeats = 0;
    for (const InputEvent& e : events) {
        if (e.kind != InputKind::keyDown) continue;
        pressed.insert(e.wParam);
        if (e.wParam == 0x26 && (e.lParam & (1u << 30))) ++upRepeats;
    }
    EXPECT_EQ(pressed, (std::set<unsigned>{0x41, 0x42, 0x43, 0x44, 0x48, 0x25, 0x26, 0x27, 0x28}));
    EXPECT_GE(upRepeats, 3);
    EXPECT_LT(events.back().timeMs, 20000);
}

TEST(Progress, theBarShowsFramesPercentageAndSpeed) {
    EXPECT_EQ(progressText(200, 800, 2.0),
              "[#######.......................] 200/800 frames  25%  100.0 fps");
    EXPECT_EQ(progressText(30, -1, 1.0), "30 frames   30.0 fps");
}
