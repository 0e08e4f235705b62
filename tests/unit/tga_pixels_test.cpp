// Reading TGA pixel data: accepted sides, the byte order handed to OpenGL,
// and short data.
#include "text/text.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// A temporary file holding bytes, positioned at its start.
std::FILE* fileWith(const std::vector<unsigned char>& bytes) {
    std::FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    return file;
}

std::vector<unsigned char> readAll(const std::vector<unsigned char>& bytes, int pixels, int bits,
                                   unsigned* format) {
    std::FILE* file = fileWith(bytes);
    unsigned char* data = tgaReadPixels(file, pixels, bits, format);
    std::fclose(file);
    if (!data) return {};
    std::vector<unsigned char> result(data, data + bytes.size());
    std::free(data);
    return result;
}

} // namespace

TEST(TgaSize, onlyPowersOfTwoFrom2To512) {
    for (int n = -1; n <= 1100; ++n) {
        const bool power = n >= 2 && n <= 512 && (n & (n - 1)) == 0;
        EXPECT_EQ(tgaIsValidSize(n), power) << n;
    }
    EXPECT_FALSE(tgaIsValidSize(1024));
    EXPECT_FALSE(tgaIsValidSize(-2147483647 - 1));
}

TEST(TgaPixels, thirtyTwoBitPixelsSwapBlueAndRed) {
    unsigned format = 0;
    EXPECT_EQ(readAll({1, 2, 3, 4, 5, 6, 7, 8}, 2, 32, &format),
              (std::vector<unsigned char>{3, 2, 1, 4, 7, 6, 5, 8}));
    EXPECT_EQ(format, static_cast<unsigned>(GL_RGBA));
}

TEST(TgaPixels, twentyFourBitPixelsSwapBlueAndRed) {
    unsigned format = 0;
    EXPECT_EQ(readAll({1, 2, 3, 4, 5, 6}, 2, 24, &format),
              (std::vector<unsigned char>{3, 2, 1, 6, 5, 4}));
    EXPECT_EQ(format, static_cast<unsigned>(GL_RGB));
}

TEST(TgaPixels, eightBitPixelsStayAsTheyAre) {
    unsigned format = 0;
    EXPECT_EQ(readAll({9, 8, 7}, 3, 8, &format), (std::vector<unsigned char>{9, 8, 7}));
    EXPECT_EQ(format, static_cast<unsigned>(GL_ALPHA));
}

TEST(TgaPixels, tooFewBytesGiveNoBuffer) {
    unsigned format = 0;
    std::FILE* file = fileWith({1, 2, 3, 4, 5});
    EXPECT_EQ(tgaReadPixels(file, 2, 24, &format), nullptr);
    std::fclose(file);
}

TEST(TgaPixels, readStartsAtTheFilesCurrentPosition) {
    std::FILE* file = fileWith({0, 0, 42, 43});
    std::fseek(file, 2, SEEK_SET);
    unsigned format = 0;
    unsigned char* data = tgaReadPixels(file, 2, 8, &format);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[0], 42);
    EXPECT_EQ(data[1], 43);
    std::free(data);
    std::fclose(file);
}
