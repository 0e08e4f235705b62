#include "output/png_image.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
// libpng reports errors by longjmp; everything that needs cleaning up lives
// outside this function.
bool encode(std::FILE* file, const unsigned char* rgba, int width, int height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    // Fastest deflate and no filter: frames are many and mostly black, so
    // filtering buys under 1% in size for a sixth of the encoding time.
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    // libpng drops the unused fourth byte of each pixel itself.
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < height; ++y)
        png_write_row(png, rgba + static_cast<size_t>(y) * width * 4);
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
    bool ok = encode(file, rgba, width, height);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        error = "cannot write " + path + ": PNG encoding failed";
        std::remove(path.c_str());
    }
    return ok;
}
