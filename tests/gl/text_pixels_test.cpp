// What printed text looks like on screen with the font the build draws.
#include "text_capture.h"

#include "text/text.h"

#include <GL/gl.h>

#include <sys/stat.h>

namespace {

struct Box {
    int left, top, right, bottom; // pixels, rows top-down, right and bottom exclusive
};

int inkIn(const std::vector<unsigned char>& rgba, int width, const Box& box) {
    int ink = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            if (rgba[(static_cast<size_t>(y) * width + x) * 4] > 0) ++ink;
    return ink;
}

} // namespace

using TextPixels = TextTest;

TEST_F(TextPixels, glyphsShowInsideTheirCellsOverBlack) {
    ASSERT_EQ(textLoadFont(ZD_FONT_IMAGE), TGA_OK);
    glClear(GL_COLOR_BUFFER_BIT);
    textSetSize(10);
    textPrint(100, 200, "Hello");
    const auto pixels = readPixels();
    // Text rows 200..209 from the bottom are rows 248..257 from the top.
    const Box text = {100, height() - 210, 150, height() - 200};
    EXPECT_GT(inkIn(pixels, width(), text), 60);
    EXPECT_EQ(inkIn(pixels, width(), {0, 0, width(), height()}), inkIn(pixels, width(), text));
    // A space cell stays black.
    textSetSize(10);
    textPrint(300, 200, "a b");
    EXPECT_EQ(inkIn(readPixels(), width(), {310, height() - 210, 320, height() - 200}), 0);

    mkdir(ZD_SNAPSHOT_DIR, 0755);
    glClear(GL_COLOR_BUFFER_BIT);
    const char* samples[] = {"The quick brown fox jumps over the lazy dog 0123456789",
                             "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG !?#%&*()[]{}",
                             "\xc0 \xc9 \xe7 \xe9 \xe8 \xea \xf1 \xf6 \xfc \xdf \xa9 \xb0 \xbd",
                             "0- Track One.mp3   12- Daft song (remix).ogg"};
    int y = 400;
    for (int size : {10, 12, 16}) {
        for (const char* sample : samples) {
            textSetSize(size);
            textPrint(10, y, "%s", sample);
            y -= size + 6;
        }
        y -= 10;
    }
    textSetSize(16);
    textSetShadow();
    textSetColor(1, 0.8f, 0.2f);
    textPrint(10, y - 10,
              "\\b+bold\\b- \\i+italic\\i- \\c(80 160 255)blue \\a(255 255 255 96)faint");
    EXPECT_TRUE(writePng(ZD_SNAPSHOT_DIR "/text_sample.png", readPixels(), width(), height()));
}

TEST_F(TextPixels, fontThatFailedToLoadDrawsSolidSquares) {
    EXPECT_EQ(textLoadFont("/nonexistent/fontGray.tga"), TGA_ERR_OPEN);
    glClear(GL_COLOR_BUFFER_BIT);
    textPrint(20, 20, "A");
    const auto pixels = readPixels();
    EXPECT_EQ(inkIn(pixels, width(), {20, height() - 32, 32, height() - 20}), 144);
    EXPECT_EQ(inkIn(pixels, width(), {0, 0, width(), height()}), 144);
}
