// Titles from the desktop as the plug-in's panel can show them: Latin-1,
// no backslash (the panel shows what follows the last one), a player's
// track as "artist - title", an untagged one by its file's name.
#include "session/panel_titles.h"

#include <gtest/gtest.h>

TEST(PanelTitles, tracksBecomeArtistDashTitleOrTheirFileName) {
    struct Case {
        TrackInfo track;
        std::string title;
    } cases[] = {
        {{"/1", "Song", {"Band", "Guest"}, "file:///m/a.ogg"}, "Band, Guest - Song"},
        {{"/2", "Song", {}, ""}, "Song"},
        {{"/3", "", {"Band"}, "file:///music/My%20Song%2B.ogg"}, "Band - My Song+.ogg"},
        {{"/4", "", {}, "100%25"}, "100%"},
        {{"/5", "", {"Band"}, ""}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(trackTitle(c.track), c.title) << c.track.id;
}

TEST(PanelTitles, utf8BecomesLatin1AndBackslashesSlashes) {
    EXPECT_EQ(panelTitle("Caf\xC3\xA9 \xC2\xBD\\AC\\DC"), "Caf\xE9 \xBD/AC/DC");
    EXPECT_EQ(panelTitle("snow \xE2\x98\x83 man"), "snow ? man");
    EXPECT_EQ(panelTitle("cut \xC3"), "cut ?");
}
