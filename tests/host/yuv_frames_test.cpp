// Frames the video keeps at their size are converted to YUV before ffmpeg
// sees them; the bytes must be those ffmpeg's own conversion makes, or every
// video would change.
#include "output/yuv_frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
// Smooth gradients with noise and hard edges on top: chroma filtering,
// rounding at both ends of the range and every pixel's neighbours all show.
std::vector<unsigned char> testPicture(int width, int height) {
    std::mt19937 random(7);
    std::vector<unsigned char> rgb0(size_t(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &rgb0[(size_t(y) * width + x) * 4];
            int noise = int(random() % 64) - 32;
            p[0] = static_cast<unsigned char>(std::clamp(x * 255 / width + noise, 0, 255));
            p[1] = static_cast<unsigned char>(std::clamp(y * 255 / height - noise, 0, 255));
            p[2] = ((x / 7 + y / 5) % 2) ? 255 : 0;
            p[3] = static_cast<unsigned char>(random());
        }
    return rgb0;
}

std::vector<unsigned char> ffmpegConversion(const std::vector<unsigned char>& rgb0, int width,
                                            int height) {
    char pattern[] = "/tmp/zd-yuv-XXXXXX";
    if (!mkdtemp(pattern)) {
        ADD_FAILURE() << "no scratch folder";
        return {};
    }
    std::filesystem::path dir = pattern;
    std::string in = (dir / "in.rgb0").string(), out = (dir / "out.yuv").string();
    std::ofstream(in, std::ios::binary)
        .write(reinterpret_cast<const char*>(rgb0.data()), std::streamsize(rgb0.size()));
    std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::string command = "ffmpeg -v error -y -f rawvideo -pix_fmt rgb0 -s " + size + " -i '" +
                          in + "' -pix_fmt yuv420p -f rawvideo '" + out + "'";
    int status = std::system(command.c_str());
    std::ifstream result(out, std::ios::binary);
    std::vector<unsigned char> yuv((std::istreambuf_iterator<char>(result)), {});
    std::filesystem::remove_all(dir);
    if (status != 0) ADD_FAILURE() << command;
    return yuv;
}
} // namespace

TEST(YuvFrames, eachPictureConvertsToTheBytesFfmpegMakesOfIt) {
    Yuv420Frames frames;
    for (auto [width, height] : {std::pair{640, 480}, std::pair{2, 2}, std::pair{322, 6}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        std::vector<unsigned char> picture = testPicture(width, height), ours;
        ASSERT_TRUE(frames.convert(picture.data(), width, height, ours));
        EXPECT_EQ(ours.size(), size_t(width) * height * 3 / 2);
        EXPECT_TRUE(ours == ffmpegConversion(picture, width, height));
    }
}

TEST(YuvFrames, oddSizesAreLeftToFfmpeg) {
    Yuv420Frames frames;
    std::vector<unsigned char> picture = testPicture(3, 4), yuv;
    EXPECT_FALSE(Yuv420Frames::converts(3, 4));
    EXPECT_FALSE(Yuv420Frames::converts(4, 3));
    EXPECT_FALSE(frames.convert(picture.data(), 3, 4, yuv));
    EXPECT_TRUE(Yuv420Frames::converts(4, 4));
}
