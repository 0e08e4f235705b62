// Reading back the plug-in's window on Windows: GDI copies the client area
// from the window's DC into a DIB section (under Wine the GL front buffer is
// not readable, but the window's pixels are).
#include "session/frame_capture.h"

#include <vector>

namespace {
std::vector<unsigned char> lastImage;

// BGRA as GDI keeps it, to the RGBA the sinks take.
void copyAsRgba(const unsigned char* bgra, size_t pixels) {
    lastImage.resize(pixels * 4);
    for (size_t i = 0; i < pixels * 4; i += 4) {
        lastImage[i] = bgra[i + 2];
        lastImage[i + 1] = bgra[i + 1];
        lastImage[i + 2] = bgra[i];
        lastImage[i + 3] = 255;
    }
}
} // namespace

bool captureWindow(HWND window, FrameImage& image) {
    RECT client;
    if (!window || !GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return false;
    const int width = client.right, height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC windowDC = GetDC(window);
    if (!windowDC) return false;
    HDC memoryDC = CreateCompatibleDC(windowDC);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = memoryDC && bitmap && bits;
    if (ok) {
        HGDIOBJ previous = SelectObject(memoryDC, bitmap);
        ok = BitBlt(memoryDC, 0, 0, width, height, windowDC, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        if (ok)
            copyAsRgba(static_cast<const unsigned char*>(bits),
                       static_cast<size_t>(width) * height);
        SelectObject(memoryDC, previous);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memoryDC) DeleteDC(memoryDC);
    ReleaseDC(window, windowDC);
    if (!ok) return false;
    image.rgba = lastImage.data();
    image.width = width;
    image.height = height;
    return true;
}

// GDI copies what the window shows now, so each picture is collected as soon
// as its frame is drawn.
const int pictureLag = 0;

void keepPicturesForLater() {}

// GDI reads what the window shows and knows nothing of presentations.
int latestPresentation(HWND) {
    return -1;
}

bool capturePresentation(HWND window, int, FrameImage& image) {
    return captureWindow(window, image);
}
