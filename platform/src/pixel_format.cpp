// Pixel formats: the formats a window may take, the closest match for a
// request, and setting one, once, on a window.
//
// Normally two double-buffered RGBA formats are offered, 32-bit colour with a
// 16-bit or a 24-bit depth buffer (and 8 stencil bits). With the palette hook
// on, the display has 256 colours and offers one 8-bit 3-3-2 format that needs
// a palette. The GL underneath draws with the bits the format holds where the
// driver has them (wgl_egl.cpp), as a Windows driver does.
#include "gdi_state.h"
#include "hooks_state.h"
#include "window_state.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace zdp {
namespace {

constexpr DWORD windowFormatFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
constexpr DWORD capabilityFlags =
    PFD_DRAW_TO_WINDOW | PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL;

PIXELFORMATDESCRIPTOR trueColourFormat(BYTE depthBits, BYTE stencilBits) {
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = windowFormatFlags;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.cRedBits = 8;
    format.cRedShift = 16;
    format.cGreenBits = 8;
    format.cGreenShift = 8;
    format.cBlueBits = 8;
    format.cBlueShift = 0;
    format.cDepthBits = depthBits;
    format.cStencilBits = stencilBits;
    format.iLayerType = PFD_MAIN_PLANE;
    return format;
}

PIXELFORMATDESCRIPTOR paletteFormat() {
    PIXELFORMATDESCRIPTOR format = trueColourFormat(16, 0);
    format.dwFlags |= PFD_NEED_PALETTE;
    format.cColorBits = 8;
    format.cRedBits = 3;
    format.cRedShift = 0;
    format.cGreenBits = 3;
    format.cGreenShift = 3;
    format.cBlueBits = 2;
    format.cBlueShift = 6;
    return format;
}

std::vector<PIXELFORMATDESCRIPTOR> offeredFormats() {
    if (paletteFormatOffered()) return {paletteFormat()};
    return {trueColourFormat(16, 0), trueColourFormat(24, 8)};
}

bool eligible(const PIXELFORMATDESCRIPTOR& format, const PIXELFORMATDESCRIPTOR& request) {
    DWORD wanted = request.dwFlags & capabilityFlags;
    return (format.dwFlags & wanted) == wanted && format.iPixelType == request.iPixelType;
}

// Lower is closer: buffering and stereo as asked, colour bits nearest the
// request, then at least the depth, stencil and alpha asked for, no more than needed.
int distance(const PIXELFORMATDESCRIPTOR& format, const PIXELFORMATDESCRIPTOR& request) {
    int score = 0;
    bool wantDouble = request.dwFlags & PFD_DOUBLEBUFFER;
    if (!(request.dwFlags & PFD_DOUBLEBUFFER_DONTCARE) &&
        wantDouble != bool(format.dwFlags & PFD_DOUBLEBUFFER))
        score += 100000;
    bool wantStereo = request.dwFlags & PFD_STEREO;
    if (!(request.dwFlags & PFD_STEREO_DONTCARE) && wantStereo != bool(format.dwFlags & PFD_STEREO))
        score += 100000;
    if (request.cColorBits) score += 100 * std::abs(format.cColorBits - request.cColorBits);
    if (!(request.dwFlags & PFD_DEPTH_DONTCARE)) {
        if (format.cDepthBits < request.cDepthBits) score += 10000;
        score += std::max(0, format.cDepthBits - request.cDepthBits);
    }
    if (format.cStencilBits < request.cStencilBits) score += 10000;
    if (format.cAlphaBits < request.cAlphaBits) score += 1000;
    return score;
}

const PIXELFORMATDESCRIPTOR* formatAt(const std::vector<PIXELFORMATDESCRIPTOR>& formats,
                                      int index) {
    if (index < 1 || index > int(formats.size())) return nullptr;
    return &formats[size_t(index - 1)];
}

} // namespace

Window* formattedWindowOf(HDC dc, HWND* handle) {
    const DeviceContext* context = checkDeviceContext(dc);
    if (!context) return nullptr;
    Window* window = findWindow(context->window);
    if (!window || !window->pixelFormat) {
        setError(ERROR_INVALID_PIXEL_FORMAT);
        return nullptr;
    }
    if (handle) *handle = context->window;
    return window;
}

} // namespace zdp

using namespace zdp;

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
    StateLock lock(stateMutex());
    if (!checkDeviceContext(dc)) return 0;
    if (!request) {
        setError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (failureActive(PlatformFailure::ChoosePixelFormat)) {
        setError(ERROR_INVALID_PIXEL_FORMAT);
        return 0;
    }
    std::vector<PIXELFORMATDESCRIPTOR> formats = offeredFormats();
    int best = 0;
    int bestDistance = INT_MAX;
    for (size_t i = 0; i < formats.size(); ++i) {
        if (!eligible(formats[i], *request)) continue;
        int score = distance(formats[i], *request);
        if (score < bestDistance) {
            best = int(i) + 1;
            bestDistance = score;
        }
    }
    if (!best) setError(ERROR_INVALID_PIXEL_FORMAT);
    return best;
}

// Setting the format a window already has succeeds; any other fails, as a
// window's pixel format cannot change.
BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    StateLock lock(stateMutex());
    const DeviceContext* context = checkDeviceContext(dc);
    if (!context) return FALSE;
    Window* window = findWindow(context->window);
    std::vector<PIXELFORMATDESCRIPTOR> formats = offeredFormats();
    const PIXELFORMATDESCRIPTOR* description = formatAt(formats, format);
    if (!window || !description || failureActive(PlatformFailure::SetPixelFormat)) {
        setError(window ? ERROR_INVALID_PIXEL_FORMAT : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (window->pixelFormat) {
        if (window->pixelFormat == format) return TRUE;
        setError(ERROR_INVALID_PIXEL_FORMAT);
        return FALSE;
    }
    window->pixelFormat = format;
    window->pixelFormatDescription = *description;
    return TRUE;
}

int WINAPI GetPixelFormat(HDC dc) {
    StateLock lock(stateMutex());
    const Window* window = formattedWindowOf(dc);
    return window ? window->pixelFormat : 0;
}

// Returns how many formats there are; fills the description when one is given.
int WINAPI DescribePixelFormat(HDC dc, int format, UINT bytes,
                               LPPIXELFORMATDESCRIPTOR description) {
    StateLock lock(stateMutex());
    if (!checkDeviceContext(dc)) return 0;
    std::vector<PIXELFORMATDESCRIPTOR> formats = offeredFormats();
    if (!description) return int(formats.size());
    const PIXELFORMATDESCRIPTOR* found = formatAt(formats, format);
    if (!found) {
        setError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::memcpy(description, found, std::min<size_t>(bytes, sizeof *found));
    return int(formats.size());
}
