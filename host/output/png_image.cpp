#include "output/png_image.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
// libpng reports errors by longjmp; everything that needs cleaning up lives
// outside this function.
bool encode(std::FILE* file, const unsigned char* rgba, int width, int height,
            std::vector<unsigned char>& row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    // Fastest deflate and one cheap filter: frames are many and mostly dark.
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const unsigned char* pixel = rgba + static_cast<size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x)
            std::memcpy(&row[x * 3], pixel + x * 4, 3);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
} // namespace

bool writePngImage(const std::string& path, const unsigned char* rgba, int width, int height,
                   std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    bool ok = encode(file, rgba, width, height, row);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        error = "cannot write " + path + ": PNG encoding failed";
        std::remove(path.c_str());
    }
    return ok;
}
