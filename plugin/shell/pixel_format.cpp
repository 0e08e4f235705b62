#include "shell/gl_setup.h"
#include "shell/render_window.h"

#include <cstdlib>

namespace {

constexpr int maxPaletteEntries = 256;

void showPixelFormatError(HDC dc, const char* text) {
    MessageBoxA(WindowFromDC(dc), text, "Error", MB_OK | MB_ICONERROR);
}

// Spreads a channel's levels evenly over 0..255; a channel without bits stays 0.
BYTE channelLevel(int index, int bits, int shift) {
    if (bits <= 0 || bits > 8) return 0;
    const int mask = (1 << bits) - 1;
    return static_cast<BYTE>(((index >> shift) & mask) * 255 / mask);
}

} // namespace

PIXELFORMATDESCRIPTOR pixelFormatRequest() {
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 16;
    request.cDepthBits = 16;
    return request;
}

bool setupPixelFormat(HDC dc) {
    const PIXELFORMATDESCRIPTOR request = pixelFormatRequest();
    const int format = ChoosePixelFormat(dc, &request);
    if (format == 0) {
        showPixelFormatError(dc, "ChoosePixelFormat failed");
        return false;
    }
    if (SetPixelFormat(dc, format, &request) != TRUE) {
        showPixelFormatError(dc, "SetPixelFormat failed");
        return false;
    }
    return true;
}

int paletteSizeFor(const PIXELFORMATDESCRIPTOR& format) {
    if (format.cColorBits >= 8) return maxPaletteEntries;
    return 1 << format.cColorBits;
}

PALETTEENTRY paletteEntryFor(int index, const PIXELFORMATDESCRIPTOR& format) {
    PALETTEENTRY entry = {};
    entry.peRed = channelLevel(index, format.cRedBits, format.cRedShift);
    entry.peGreen = channelLevel(index, format.cGreenBits, format.cGreenShift);
    entry.peBlue = channelLevel(index, format.cBlueBits, format.cBlueShift);
    entry.peFlags = 0;
    return entry;
}

void setupPalette(HDC dc) {
    PIXELFORMATDESCRIPTOR format = {};
    DescribePixelFormat(dc, GetPixelFormat(dc), sizeof(format), &format);
    if (!(format.dwFlags & PFD_NEED_PALETTE)) return;

    const int count = paletteSizeFor(format);
    auto* palette = static_cast<LOGPALETTE*>(
        std::malloc(sizeof(LOGPALETTE) + (count - 1) * sizeof(PALETTEENTRY)));
    if (!palette) return;
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    for (int i = 0; i < count; ++i) palette->palPalEntry[i] = paletteEntryFor(i, format);
    renderPalette = CreatePalette(palette);
    std::free(palette);

    if (renderPalette) {
        SelectPalette(dc, renderPalette, FALSE);
        RealizePalette(dc);
    }
}

void reselectPalette() {
    UnrealizeObject(renderPalette);
    SelectPalette(renderDC, renderPalette, FALSE);
    RealizePalette(renderDC);
}
