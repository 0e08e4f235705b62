// The font image the build draws: a bottom-up 8-bit greyscale TGA of 16 by
// 16 cells of 16 pixels, upright, blank control codes, every glyph clear of
// its cell's border.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

constexpr int side = 256;
constexpr int cell = 16;

std::vector<unsigned char> readFontFile() {
    std::vector<unsigned char> bytes;
    std::FILE* file = std::fopen(ZD_FONT_IMAGE, "rb");
    if (!file) return bytes;
    unsigned char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);
    return bytes;
}

class FontImage : public ::testing::Test {
  protected:
    void SetUp() override {
        bytes = readFontFile();
        ASSERT_EQ(bytes.size(), 18u + side * side) << ZD_FONT_IMAGE;
    }

    // Pixel (x, y) of a code's cell, y counted from the cell's top as seen
    // upright; the file stores the picture's bottom row first.
    int at(int code, int x, int y) const {
        const int imageRow = (code / 16) * cell + y;
        const int imageColumn = (code % 16) * cell + x;
        return bytes[18 + (side - 1 - imageRow) * side + imageColumn];
    }

    bool blank(int code) const {
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x)
                if (at(code, x, y) != 0) return false;
        return true;
    }

    // Lowest row (from the top) holding ink of more than a third coverage.
    int lowestInk(int code) const {
        for (int y = cell - 1; y >= 0; --y)
            for (int x = 0; x < cell; ++x)
                if (at(code, x, y) >= 96) return y;
        return -1;
    }

    std::vector<unsigned char> bytes;
};

} // namespace

TEST_F(FontImage, headerDescribesAnUncompressedBottomUpGreyscaleImage) {
    EXPECT_EQ(bytes[0], 0); // no image ID
    EXPECT_EQ(bytes[1], 0); // no colour map
    EXPECT_EQ(bytes[2], 3); // uncompressed greyscale
    EXPECT_EQ(bytes[12] + 256 * bytes[13], side);
    EXPECT_EQ(bytes[14] + 256 * bytes[15], side);
    EXPECT_EQ(bytes[16], 8);
    EXPECT_EQ(bytes[17] & 0x20, 0); // origin at the bottom
}

TEST_F(FontImage, controlCodesAndSpacesAreBlankAndPrintableCodesHaveInk) {
    for (int code = 0; code <= 32; ++code)
        EXPECT_TRUE(blank(code)) << code;
    for (int code = 127; code <= 160; ++code)
        EXPECT_TRUE(blank(code)) << code;
    for (int code = 33; code <= 126; ++code)
        EXPECT_FALSE(blank(code)) << code;
    for (int code = 161; code <= 255; ++code)
        EXPECT_FALSE(blank(code)) << code;
}

TEST_F(FontImage, everyCellKeepsAnEmptyBorderAgainstItsNeighbours) {
    for (int code = 0; code < 256; ++code)
        for (int i = 0; i < cell; ++i) {
            EXPECT_EQ(at(code, i, 0), 0) << code;
            EXPECT_EQ(at(code, i, cell - 1), 0) << code;
            EXPECT_EQ(at(code, 0, i), 0) << code;
            EXPECT_EQ(at(code, cell - 1, i), 0) << code;
        }
}

TEST_F(FontImage, lettersStandUprightOnOneBaseline) {
    const int baseline = lowestInk('H');
    for (int code : {int('A'), int('B'), int('E'), int('x'), int('z'), int('1'), 0xC9})
        EXPECT_EQ(lowestInk(code), baseline) << code;
    for (int code : {'p', 'g', 'y', 'q'})
        EXPECT_GT(lowestInk(code), baseline) << code;
    // Upright: the underscore lies low in its cell, the caret high.
    EXPECT_GT(lowestInk('_'), baseline);
    EXPECT_LT(lowestInk('^'), cell / 2);
}
