// The font loader on arbitrary file contents: whatever the bytes, the load
// ends with one of its result codes, closes the file, and a texture it reports
// as loaded holds exactly the image the header describes.
#include "support/fuzz_check.h"
#include "support/headless_gl.h"
#include "support/memory_file.h"

#include "text/text.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>

namespace {

MemoryFile* file = nullptr;

int sideAt(const std::uint8_t* data, std::size_t offset) {
    return data[offset] | data[offset + 1] << 8;
}

GLint textureLevel(GLenum parameter) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
    return value;
}

void checkUploadedImage(const std::uint8_t* data, std::size_t size) {
    FUZZ_CHECK(size >= 18);
    const int bits = data[16];
    const std::size_t pixelBytes =
        static_cast<std::size_t>(sideAt(data, 12)) * sideAt(data, 14) * (bits / 8);
    FUZZ_CHECK(size >= 18 + pixelBytes);
    glBindTexture(GL_TEXTURE_2D, fontInfo.texture);
    FUZZ_CHECK(textureLevel(GL_TEXTURE_WIDTH) == sideAt(data, 12));
    FUZZ_CHECK(textureLevel(GL_TEXTURE_HEIGHT) == sideAt(data, 14));
    const GLint expected = bits == 32 ? GL_RGBA : bits == 24 ? GL_RGB : GL_ALPHA;
    FUZZ_CHECK(textureLevel(GL_TEXTURE_INTERNAL_FORMAT) == expected);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    openHeadlessGL();
    file = new MemoryFile;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!file->write(data, size)) return 0;
    const int descriptors = lowestFreeDescriptor();
    const int result = textLoadFont(file->path().c_str());
    FUZZ_CHECK(lowestFreeDescriptor() == descriptors);
    FUZZ_CHECK(result == TGA_OK || (result >= TGA_ERR_READ && result <= TGA_ERR_OPEN));
    FUZZ_CHECK(result != TGA_ERR_OPEN);
    if (result == TGA_OK) checkUploadedImage(data, size);
    // Every load takes a fresh texture name; give it back so a long run
    // measures the loader, not the driver's texture table.
    glDeleteTextures(1, &fontInfo.texture);
    while (glGetError() != GL_NO_ERROR) {
    }
    return 0;
}
