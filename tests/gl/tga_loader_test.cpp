// Loading the font file: every result code, the pixel layouts as they reach
// the texture, the glyph table, and which texture name ends up in fontInfo.
#include "gl_fixture.h"

#include "text/text.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct TgaFile {
    int colorMapType = 0;
    int imageType = 3;
    int width = 2;
    int height = 2;
    int bitsPerPixel = 8;
    int descriptor = 0;
    std::vector<unsigned char> pixels; // empty: width x height x bytes of a ramp
};

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "zd_tga_" + name + ".tga";
}

std::vector<unsigned char> headerBytes(const TgaFile& tga) {
    std::vector<unsigned char> bytes(18, 0);
    bytes[1] = static_cast<unsigned char>(tga.colorMapType);
    bytes[2] = static_cast<unsigned char>(tga.imageType);
    bytes[12] = static_cast<unsigned char>(tga.width & 0xff);
    bytes[13] = static_cast<unsigned char>(tga.width >> 8);
    bytes[14] = static_cast<unsigned char>(tga.height & 0xff);
    bytes[15] = static_cast<unsigned char>(tga.height >> 8);
    bytes[16] = static_cast<unsigned char>(tga.bitsPerPixel);
    bytes[17] = static_cast<unsigned char>(tga.descriptor);
    return bytes;
}

std::string writeBytes(const std::string& name, const std::vector<unsigned char>& bytes) {
    const std::string path = tempPath(name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

std::string writeTga(const std::string& name, const TgaFile& tga) {
    std::vector<unsigned char> bytes = headerBytes(tga);
    std::vector<unsigned char> pixels = tga.pixels;
    if (pixels.empty()) {
        pixels.resize(static_cast<size_t>(tga.width) * tga.height * (tga.bitsPerPixel / 8));
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<unsigned char>(i);
    }
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return writeBytes(name, bytes);
}

GLint levelParameter(GLenum which) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, which, &value);
    return value;
}

std::vector<unsigned char> textureImage(GLenum format, size_t bytes) {
    std::vector<unsigned char> image(bytes);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, image.data());
    return image;
}

} // namespace

using TgaLoader = GlTest;

TEST_F(TgaLoader, greyscaleFileBecomesAnAlphaTextureWithRowsAsStored) {
    TgaFile tga;
    tga.width = 4;
    tga.height = 2;
    tga.pixels = {1, 2, 3, 4, 50, 60, 70, 80};
    const std::string path = writeTga("grey", tga);
    GLuint name = 0;
    glGenTextures(1, &name);
    ASSERT_EQ(tgaLoadTexture(path.c_str(), name), TGA_OK);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), name);
    EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), 4);
    EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), 2);
    EXPECT_EQ(levelParameter(GL_TEXTURE_ALPHA_SIZE), 8);
    EXPECT_EQ(levelParameter(GL_TEXTURE_RED_SIZE), 0);
    // The first row of the file is the texture's bottom row (t = 0).
    EXPECT_EQ(textureImage(GL_ALPHA, 8), tga.pixels);

    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
    EXPECT_EQ(value, 1);
}

TEST_F(TgaLoader, topDownFileIsUploadedAsStored) {
    TgaFile tga;
    tga.descriptor = 0x20;
    tga.pixels = {9, 8, 7, 6};
    GLuint name = 0;
    glGenTextures(1, &name);
    ASSERT_EQ(tgaLoadTexture(writeTga("topdown", tga).c_str(), name), TGA_OK);
    EXPECT_EQ(textureImage(GL_ALPHA, 4), tga.pixels);
}

TEST_F(TgaLoader, trueColourFilesReachTheTextureRedFirst) {
    TgaFile rgb;
    rgb.imageType = 2;
    rgb.bitsPerPixel = 24;
    rgb.pixels = {10, 20, 30, 11, 21, 31, 12, 22, 32, 13, 23, 33};
    GLuint name = 0;
    glGenTextures(1, &name);
    ASSERT_EQ(tgaLoadTexture(writeTga("rgb", rgb).c_str(), name), TGA_OK);
    EXPECT_EQ(levelParameter(GL_TEXTURE_ALPHA_SIZE), 0);
    EXPECT_EQ(textureImage(GL_RGB, 12),
              (std::vector<unsigned char>{30, 20, 10, 31, 21, 11, 32, 22, 12, 33, 23, 13}));

    TgaFile rgba = rgb;
    rgba.bitsPerPixel = 32;
    rgba.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    ASSERT_EQ(tgaLoadTexture(writeTga("rgba", rgba).c_str(), name), TGA_OK);
    EXPECT_EQ(levelParameter(GL_TEXTURE_ALPHA_SIZE), 8);
    EXPECT_EQ(textureImage(GL_RGBA, 16),
              (std::vector<unsigned char>{3, 2, 1, 4, 7, 6, 5, 8, 11, 10, 9, 12, 15, 14, 13, 16}));
}

TEST_F(TgaLoader, imageTypeDecidesNothingBeyondBeingTwoOrThree) {
    TgaFile greyRgb;
    greyRgb.imageType = 3;
    greyRgb.bitsPerPixel = 24;
    GLuint name = 0;
    glGenTextures(1, &name);
    ASSERT_EQ(tgaLoadTexture(writeTga("grey24", greyRgb).c_str(), name), TGA_OK);
    EXPECT_EQ(levelParameter(GL_TEXTURE_RED_SIZE), 8);
    TgaFile colourAlpha;
    colourAlpha.imageType = 2;
    ASSERT_EQ(tgaLoadTexture(writeTga("colour8", colourAlpha).c_str(), name), TGA_OK);
    EXPECT_EQ(levelParameter(GL_TEXTURE_ALPHA_SIZE), 8);
}

TEST_F(TgaLoader, everyPowerOfTwoSideFrom2To512IsAccepted) {
    GLuint name = 0;
    glGenTextures(1, &name);
    TgaFile wide;
    wide.width = 512;
    wide.height = 512;
    EXPECT_EQ(tgaLoadTexture(writeTga("512", wide).c_str(), name), TGA_OK);
    wide.width = 256;
    wide.height = 128;
    EXPECT_EQ(tgaLoadTexture(writeTga("256x128", wide).c_str(), name), TGA_OK);
    EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), 128);
}

TEST_F(TgaLoader, refusedFilesGiveTheirResultCodes) {
    auto load = [](const std::string& name, const TgaFile& tga) {
        return tgaLoadTexture(writeTga(name, tga).c_str(), 1);
    };
    TgaFile mapped;
    mapped.colorMapType = 1;
    EXPECT_EQ(load("mapped", mapped), TGA_ERR_TYPE);
    for (int type : {0, 1, 10, 11}) {
        TgaFile other;
        other.imageType = type;
        EXPECT_EQ(load("type" + std::to_string(type), other), TGA_ERR_TYPE) << type;
    }
    for (int side : {0, 1, 3, 1000, 1024}) {
        TgaFile narrow;
        narrow.width = side;
        EXPECT_EQ(load("w" + std::to_string(side), narrow), TGA_ERR_SIZE) << side;
        TgaFile low;
        low.height = side;
        EXPECT_EQ(load("h" + std::to_string(side), low), TGA_ERR_SIZE) << side;
    }
    for (int bits : {0, 15, 16, 33}) {
        TgaFile deep;
        deep.bitsPerPixel = bits;
        deep.pixels = {0};
        EXPECT_EQ(load("bits" + std::to_string(bits), deep), TGA_ERR_DEPTH) << bits;
    }
    EXPECT_EQ(tgaLoadTexture(tempPath("missing").c_str(), 1), TGA_ERR_OPEN);
}

TEST_F(TgaLoader, checksRunTypeThenWidthThenHeightThenDepth) {
    TgaFile tga;
    tga.colorMapType = 1;
    tga.width = 1000;
    tga.pixels = {0};
    EXPECT_EQ(tgaLoadTexture(writeTga("order1", tga).c_str(), 1), TGA_ERR_TYPE);
    tga.colorMapType = 0;
    tga.bitsPerPixel = 16;
    EXPECT_EQ(tgaLoadTexture(writeTga("order2", tga).c_str(), 1), TGA_ERR_SIZE);
    tga.width = 2;
    tga.height = 1000;
    EXPECT_EQ(tgaLoadTexture(writeTga("order3", tga).c_str(), 1), TGA_ERR_SIZE);
}

TEST_F(TgaLoader, shortFilesAreRefusedAsUnreadable) {
    TgaFile tga;
    tga.width = 16;
    tga.height = 16;
    tga.pixels.assign(255, 7);
    EXPECT_EQ(tgaLoadTexture(writeTga("shortpixels", tga).c_str(), 1), TGA_ERR_READ);
    const std::vector<unsigned char> header = headerBytes(TgaFile{});
    for (size_t length : {0u, 2u, 3u, 12u, 17u}) {
        const std::vector<unsigned char> cut(header.begin(), header.begin() + length);
        EXPECT_EQ(tgaLoadTexture(writeBytes("cut" + std::to_string(length), cut).c_str(), 1),
                  TGA_ERR_READ)
            << length;
    }
}

TEST_F(TgaLoader, readOnlyFileLoads) {
    const std::string path = writeTga("readonly", TgaFile{});
    chmod(path.c_str(), 0444);
    GLuint name = 0;
    glGenTextures(1, &name);
    EXPECT_EQ(tgaLoadTexture(path.c_str(), name), TGA_OK);
    chmod(path.c_str(), 0644);
}

using FontLoad = GlTest;

TEST_F(FontLoad, glyphTableHoldsEachCellsLowerLeftCorner) {
    TgaFile tga;
    tga.width = 256;
    tga.height = 256;
    ASSERT_EQ(textLoadFont(writeTga("font", tga).c_str()), TGA_OK);
    EXPECT_FLOAT_EQ(fontInfo.cellWidth, 0.0625f);
    EXPECT_FLOAT_EQ(fontInfo.cellHeight, 0.0625f);
    const struct {
        int code;
        float s, t;
    } rows[] = {{0, 0, 0.9375f},
                {15, 0.9375f, 0.9375f},
                {32, 0, 0.8125f},
                {65, 0.0625f, 0.6875f},
                {255, 0.9375f, 0}};
    for (const auto& row : rows) {
        EXPECT_FLOAT_EQ(fontInfo.glyphs[row.code].s, row.s) << row.code;
        EXPECT_FLOAT_EQ(fontInfo.glyphs[row.code].t, row.t) << row.code;
    }
    for (int code = 0; code < 256; ++code) {
        EXPECT_FLOAT_EQ(fontInfo.glyphs[code].s, (code % 16) / 16.0f);
        EXPECT_FLOAT_EQ(fontInfo.glyphs[code].t, (15 - code / 16) / 16.0f);
    }
}

TEST_F(FontLoad, eachLoadTakesAFreshTextureName) {
    const std::string path = writeTga("twice", TgaFile{});
    ASSERT_EQ(textLoadFont(path.c_str()), TGA_OK);
    const unsigned first = fontInfo.texture;
    ASSERT_EQ(textLoadFont(path.c_str()), TGA_OK);
    EXPECT_NE(fontInfo.texture, first);
    EXPECT_NE(fontInfo.texture, 0u);
}

TEST_F(FontLoad, failedLoadKeepsItsNewNameWithoutAnImage) {
    ASSERT_EQ(textLoadFont(writeTga("good", TgaFile{}).c_str()), TGA_OK);
    const unsigned before = fontInfo.texture;
    TgaFile tga;
    tga.width = 16;
    tga.pixels = {1, 2, 3};
    EXPECT_EQ(textLoadFont(writeTga("bad", tga).c_str()), TGA_ERR_READ);
    EXPECT_NE(fontInfo.texture, before);
    glBindTexture(GL_TEXTURE_2D, fontInfo.texture);
    EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), 0);
    EXPECT_FLOAT_EQ(fontInfo.glyphs[65].t, 0.6875f);
}

TEST_F(FontLoad, gridOfEightRowsByThirtyTwoColumns) {
    TgaFile tga;
    tga.width = 256;
    tga.height = 128;
    ASSERT_EQ(textLoadFontGrid(writeTga("grid", tga).c_str(), 8, 32), TGA_OK);
    EXPECT_FLOAT_EQ(fontInfo.cellWidth, 1 / 32.0f);
    EXPECT_FLOAT_EQ(fontInfo.cellHeight, 1 / 8.0f);
    EXPECT_FLOAT_EQ(fontInfo.glyphs[33].s, 1 / 32.0f);
    EXPECT_FLOAT_EQ(fontInfo.glyphs[33].t, 6 / 8.0f);
    EXPECT_FLOAT_EQ(fontInfo.glyphs[255].t, 0);
    // The standard load goes back to 16 by 16.
    ASSERT_EQ(textLoadFont(writeTga("grid", tga).c_str()), TGA_OK);
    EXPECT_EQ(fontInfo.rows, 16);
    EXPECT_FLOAT_EQ(fontInfo.glyphs[33].t, 0.8125f);
}

TEST_F(FontLoad, gridsThatAreNot256PositiveCellsChangeNothing) {
    const std::string path = writeTga("keep", TgaFile{});
    ASSERT_EQ(textLoadFont(path.c_str()), TGA_OK);
    const FontInfo before = fontInfo;
    GLuint probe = 0;
    const struct {
        int rows, columns;
    } grids[] = {{16, 15}, {-16, -16}, {0, 256}, {256, 0}, {-1, -256}, {65536, 65536}};
    for (const auto& grid : grids) {
        EXPECT_EQ(textLoadFontGrid(path.c_str(), grid.rows, grid.columns), 0) << grid.rows;
        EXPECT_EQ(0, std::memcmp(&fontInfo, &before, sizeof before)) << grid.rows;
    }
    // No texture name was taken: the next one handed out follows the font's.
    glGenTextures(1, &probe);
    EXPECT_EQ(probe, before.texture + 1);
}
