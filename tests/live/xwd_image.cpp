// The X Window Dump format as xwd writes it: a header of big-endian 32-bit
// fields, the window's name, the colour map, then the image rows.
#include "desktop.h"

#include <cstdint>

namespace {
enum XwdField {
    headerSize = 0,
    pixmapWidth = 4,
    pixmapHeight = 5,
    byteOrder = 7,
    bitsPerPixel = 11,
    bytesPerLine = 12,
    visualClass = 13,
    redMask = 14,
    greenMask = 15,
    blueMask = 16,
    colourCount = 19,
    fieldCount = 25,
};
constexpr uint32_t trueColor = 4;
constexpr size_t colourEntryBytes = 12;

uint32_t bigEndian(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

uint32_t pixelAt(const unsigned char* p, bool mostSignificantFirst) {
    if (mostSignificantFirst) return bigEndian(p);
    return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

unsigned char channel(uint32_t pixel, uint32_t mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    return (unsigned char)((pixel & mask) >> shift);
}
} // namespace

bool decodeXwd(const std::string& data, Screenshot& shot, std::string& error) {
    auto bytes = reinterpret_cast<const unsigned char*>(data.data());
    uint32_t field[fieldCount];
    if (data.size() < fieldCount * 4) {
        error = "xwd output too short";
        return false;
    }
    for (int i = 0; i < fieldCount; ++i)
        field[i] = bigEndian(bytes + 4 * i);
    if (field[bitsPerPixel] != 32 || field[visualClass] != trueColor) {
        error = "xwd image is not 32-bit TrueColor";
        return false;
    }
    size_t start = field[headerSize] + field[colourCount] * colourEntryBytes;
    size_t rowBytes = field[bytesPerLine];
    shot.width = int(field[pixmapWidth]);
    shot.height = int(field[pixmapHeight]);
    if (data.size() < start + rowBytes * size_t(shot.height)) {
        error = "xwd image data cut short";
        return false;
    }
    shot.rgb.resize(size_t(shot.width) * size_t(shot.height) * 3);
    unsigned char* out = shot.rgb.data();
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x, out += 3) {
            uint32_t pixel = pixelAt(bytes + start + rowBytes * y + 4 * x, field[byteOrder] != 0);
            out[0] = channel(pixel, field[redMask]);
            out[1] = channel(pixel, field[greenMask]);
            out[2] = channel(pixel, field[blueMask]);
        }
    return true;
}
