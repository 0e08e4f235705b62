// Frames for people to look at: the playlist panel and the help page over
// black with the font the build draws, written as PNG beside the tests.
#include "text_capture.h"

#include "overlay/help_screen.h"
#include "overlay/playlist_panel.h"
#include "shell/vis_module.h"
#include "test_host.h"
#include "text/text.h"

#include <GL/gl.h>

#include <sys/stat.h>

namespace {

// Lit pixels in the rows of a text line (y from the bottom, size 10).
int inkOnLine(const std::vector<unsigned char>& rgba, int width, int height, int y) {
    int ink = 0;
    for (int row = height - y - 10; row < height - y; ++row)
        for (int x = 0; x < width; ++x)
            if (rgba[(static_cast<size_t>(row) * width + x) * 4 + 1] > 40) ++ink;
    return ink;
}

} // namespace

using OverlaySnapshot = TextTest;

TEST_F(OverlaySnapshot, playlistPanelFrame) {
    TestHost host;
    const char* names[] = {"Intro.mp3", "Zephyr (radio edit).mp3", "Une valse \xe0 trois temps.ogg",
                           "Dome of Sound.flac", "100% live.mp3"};
    for (int i = 0; i < 32; ++i)
        host.playlist.push_back("C:\\Music\\Album " + std::to_string(i / 10) + "\\" +
                                std::to_string(i + 1) + " " + names[i % 5]);
    VisModule module{};
    module.hostWindow = host.window();
    PlaylistPanel panel(&module, ZD_FONT_IMAGE);
    glClear(GL_COLOR_BUFFER_BIT);
    panel.setCurrent(8);
    const auto pixels = readPixels();
    mkdir(ZD_SNAPSHOT_DIR, 0755);
    EXPECT_TRUE(writePng(ZD_SNAPSHOT_DIR "/playlist_panel.png", pixels, width(), height()));
    for (int k = 0; k < 25; ++k)
        EXPECT_GT(inkOnLine(pixels, width(), height(), 420 - 15 * k), 100);
    EXPECT_GT(inkOnLine(pixels, width(), height(), 10), 50);
}

TEST_F(OverlaySnapshot, helpPageFrame) {
    ASSERT_EQ(textLoadFont(ZD_FONT_IMAGE), TGA_OK);
    glClear(GL_COLOR_BUFFER_BIT);
    drawHelpScreen();
    const auto pixels = readPixels();
    mkdir(ZD_SNAPSHOT_DIR, 0755);
    EXPECT_TRUE(writePng(ZD_SNAPSHOT_DIR "/help_page.png", pixels, width(), height()));
    for (int y : {400, 380, 360, 330, 300, 260, 240})
        EXPECT_GT(inkOnLine(pixels, width(), height(), y), 50) << y;
}
