#include "tga_writer.h"

#include <cstdio>

namespace {

void putLittleEndian16(unsigned char* at, int value) {
    at[0] = static_cast<unsigned char>(value & 0xff);
    at[1] = static_cast<unsigned char>((value >> 8) & 0xff);
}

} // namespace

bool writeGreyscaleTga(const FontImage& image, const char* path) {
    unsigned char header[18] = {};
    header[2] = 3; // uncompressed greyscale
    putLittleEndian16(header + 12, imagePixels);
    putLittleEndian16(header + 14, imagePixels);
    header[16] = 8;
    header[17] = 0; // origin bottom-left, no alpha bits

    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    bool written = std::fwrite(header, 1, sizeof header, file) == sizeof header;
    for (int row = imagePixels - 1; written && row >= 0; --row) {
        const unsigned char* pixels = image.coverage.data() + row * imagePixels;
        written = std::fwrite(pixels, 1, imagePixels, file) == static_cast<size_t>(imagePixels);
    }
    return std::fclose(file) == 0 && written;
}
