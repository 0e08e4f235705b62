// The subset of TGA the font needs: uncompressed, no colour map, 8, 24 or 32
// bits per pixel, sides that are powers of two from 2 to 512.
#include "text.h"

#include <GL/gl.h>

#include <cstdlib>

namespace {

struct TgaHeader {
    int colorMapType;
    int imageType;
    int width;
    int height;
    int bitsPerPixel;
};

// Reads the fields at offsets 1, 2 and 12 to 16, leaving the file at the
// pixel data (offset 18); false for a file too short to hold the header.
bool tgaReadHeader(std::FILE* file, TgaHeader* header) {
    unsigned char start[3];
    unsigned char geometry[6];
    if (std::fread(start, 1, sizeof start, file) != sizeof start) return false;
    if (std::fseek(file, 12, SEEK_SET) != 0) return false;
    if (std::fread(geometry, 1, sizeof geometry, file) != sizeof geometry) return false;
    header->colorMapType = start[1];
    header->imageType = start[2];
    header->width = geometry[0] + 256 * geometry[1];
    header->height = geometry[2] + 256 * geometry[3];
    header->bitsPerPixel = geometry[4];
    return true;
}

int tgaCheckHeader(const TgaHeader& header) {
    if (header.colorMapType != 0 || (header.imageType != 2 && header.imageType != 3))
        return TGA_ERR_TYPE;
    if (!tgaIsValidSize(header.width) || !tgaIsValidSize(header.height)) return TGA_ERR_SIZE;
    if (header.bitsPerPixel != 8 && header.bitsPerPixel != 24 && header.bitsPerPixel != 32)
        return TGA_ERR_DEPTH;
    return TGA_OK;
}

void tgaUpload(unsigned int name, const TgaHeader& header, GLenum format,
               const unsigned char* pixels) {
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), header.width, header.height, 0,
                 format, GL_UNSIGNED_BYTE, pixels);
}

} // namespace

bool tgaIsValidSize(int n) {
    for (int side = 2; side <= 512; side *= 2)
        if (n == side) return true;
    return false;
}

unsigned char* tgaReadPixels(std::FILE* file, int pixelCount, int bitsPerPixel,
                             unsigned int* format) {
    if (pixelCount < 0 || (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32))
        return nullptr;
    const size_t bytesPerPixel = static_cast<size_t>(bitsPerPixel / 8);
    const size_t byteCount = static_cast<size_t>(pixelCount) * bytesPerPixel;
    unsigned char* pixels = static_cast<unsigned char*>(std::malloc(byteCount ? byteCount : 1));
    if (!pixels) return nullptr;
    if (std::fread(pixels, 1, byteCount, file) != byteCount) {
        std::free(pixels);
        return nullptr;
    }
    // TGA stores blue first; OpenGL 1.1 takes red first.
    if (bytesPerPixel >= 3)
        for (size_t at = 0; at < byteCount; at += bytesPerPixel) {
            const unsigned char blue = pixels[at];
            pixels[at] = pixels[at + 2];
            pixels[at + 2] = blue;
        }
    *format = bitsPerPixel == 32 ? GL_RGBA : bitsPerPixel == 24 ? GL_RGB : GL_ALPHA;
    return pixels;
}

int tgaLoadTexture(const char* path, unsigned int name) {
    // Read access is all the loader needs; the font may lie in a folder the
    // user cannot write to.
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return TGA_ERR_OPEN;
    TgaHeader header;
    if (!tgaReadHeader(file, &header)) {
        std::fclose(file);
        return TGA_ERR_READ;
    }
    const int checked = tgaCheckHeader(header);
    if (checked != TGA_OK) {
        std::fclose(file);
        return checked;
    }
    unsigned int format = 0;
    unsigned char* pixels =
        tgaReadPixels(file, header.width * header.height, header.bitsPerPixel, &format);
    std::fclose(file);
    if (!pixels) return TGA_ERR_READ;
    tgaUpload(name, header, format, pixels);
    std::free(pixels);
    return TGA_OK;
}
