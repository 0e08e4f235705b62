// Reading TGA pixel data: accepted sides, where the read starts, short data.
// (The byte order handed to OpenGL is checked through the texture itself.)
#include "text/text.h"

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

} // namespace

TEST(TgaSize, onlyPowersOfTwoFrom2To512) {
    for (int n = -1; n <= 1100; ++n) {
        const bool power = n >= 2 && n <= 512 && (n & (n - 1)) == 0;
        EXPECT_EQ(tgaIsValidSize(n), power) << n;
    }
    EXPECT_FALSE(tgaIsValidSize(1024));
    EXPECT_FALSE(tgaIsValidSize(-2147483647 - 1));
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
