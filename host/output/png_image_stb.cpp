// PNG frames on Windows, through stb_image_write (one header, no library to
// cross-build), with the same pixels as libpng writes on Linux.
#include "output/png_image.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#endif
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#include <cstdio>
#include <vector>

bool writePngImage(const std::string& path, const unsigned char* rgba, int width, int height,
                   std::string& error) {
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0, o = 0; o < rgb.size(); i += 4, o += 3) {
        rgb[o] = rgba[i];
        rgb[o + 1] = rgba[i + 1];
        rgb[o + 2] = rgba[i + 2];
    }
    // Fast deflate: frames are many and mostly black.
    stbi_write_png_compression_level = 1;
    if (stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3)) return true;
    error = "cannot write " + path;
    std::remove(path.c_str());
    return false;
}
