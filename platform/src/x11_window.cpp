// Native X11 windows for the subset's shown top-level windows: the X window
// is the client area, placed where Windows would put it, of a fixed size, with
// the title and the close box asking for WM_DELETE_WINDOW. The window manager
// draws the frame around it.
#include "display.h"
#include "x11_state.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace zdp {
namespace {

constexpr long inputEvents = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                             PointerMotionMask | ExposureMask | StructureNotifyMask |
                             FocusChangeMask;

// Fixed size, and the client area at the given spot with the frame around
// it (static gravity), as Windows lays out a window from its outer rectangle.
void setSizeHints(const X11Connection& x, ::Window id, POINT origin, int width, int height) {
    XSizeHints* hints = XAllocSizeHints();
    if (!hints) return;
    hints->flags = PPosition | USPosition | PMinSize | PMaxSize | PWinGravity;
    hints->x = origin.x;
    hints->y = origin.y;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    hints->win_gravity = StaticGravity;
    XSetWMNormalHints(x.display, id, hints);
    XFree(hints);
}

void setClassHint(const X11Connection& x, ::Window id, const std::string& className) {
    XClassHint hint;
    std::string name = program_invocation_short_name;
    hint.res_name = const_cast<char*>(name.c_str());
    hint.res_class = const_cast<char*>(className.c_str());
    XSetClassHint(x.display, id, &hint);
}

// Windows without a caption (pop-ups) get no frame from the window manager.
void setDecorations(const X11Connection& x, ::Window id, DWORD style) {
    if ((style & WS_CAPTION) == WS_CAPTION) return;
    const long decorationsFlag = 2;
    long hints[5] = {decorationsFlag, 0, 0, 0, 0};
    XChangeProperty(x.display, id, x.motifWmHints, x.motifWmHints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(hints), 5);
}

// The window takes the keyboard when the window manager gives it focus, and
// closes through WM_DELETE_WINDOW rather than being killed.
void setProtocols(X11Connection& x, ::Window id) {
    XWMHints* hints = XAllocWMHints();
    if (hints) {
        hints->flags = InputHint | StateHint;
        hints->input = True;
        hints->initial_state = NormalState;
        XSetWMHints(x.display, id, hints);
        XFree(hints);
    }
    XSetWMProtocols(x.display, id, &x.wmDeleteWindow, 1);
    long pid = long(getpid());
    XChangeProperty(x.display, id, x.netWmPid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&pid), 1);
}

void setOwner(const X11Connection& x, ::Window id, HWND owner) {
    auto found = x11Windows().find(owner);
    if (found != x11Windows().end()) XSetTransientForHint(x.display, id, found->second.id);
}

// Titles are ANSI text; X wants Latin-1 in WM_NAME and UTF-8 in _NET_WM_NAME.
void storeTitle(const X11Connection& x, ::Window id, const std::string& title) {
    std::string utf8;
    for (unsigned char c : title) {
        if (c < 0x80) {
            utf8 += char(c);
        } else {
            utf8 += char(0xC0 | (c >> 6));
            utf8 += char(0x80 | (c & 0x3F));
        }
    }
    XStoreName(x.display, id, title.c_str());
    XChangeProperty(x.display, id, x.netWmName, x.utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), int(utf8.size()));
}

X11Window* createNative(X11Connection& x, HWND handle, const Window& window) {
    RECT client = clientRectOf(window);
    int zoom = displayZoom();
    int width = (client.right > 0 ? client.right : 1) * zoom;
    int height = (client.bottom > 0 ? client.bottom : 1) * zoom;
    POINT origin = clientOriginOnScreen(handle);
    XSetWindowAttributes attributes{};
    // No background: an exposed window gets its last picture back, not a flash of colour.
    attributes.background_pixmap = None;
    attributes.event_mask = inputEvents;
    ::Window id = XCreateWindow(x.display, x.root, origin.x, origin.y, unsigned(width),
                                unsigned(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                CWBackPixmap | CWEventMask, &attributes);
    if (!id) return nullptr;
    setSizeHints(x, id, origin, width, height);
    setClassHint(x, id, window.windowClass->name);
    setDecorations(x, id, window.style);
    setProtocols(x, id);
    setOwner(x, id, window.owner);
    storeTitle(x, id, window.title);
    X11Window& native = x11Windows()[handle];
    native.id = id;
    native.gc = XCreateGC(x.display, id, 0, nullptr);
    native.clientOrigin = origin;
    native.zoom = zoom;
    return &native;
}

int shiftOf(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// RGBA rows to the visual's 32-bit pixels, each pixel repeated `zoom` times
// across and each row `zoom` times down; other visuals are not drawn on.
bool convertImage(const X11Connection& x, const Window& window, X11Window& native) {
    if (x.depth < 24 || x.visual->c_class != TrueColor) return false;
    int red = shiftOf(x.visual->red_mask), green = shiftOf(x.visual->green_mask),
        blue = shiftOf(x.visual->blue_mask);
    auto visualPixel = [&](const unsigned char* rgba) {
        return uint32_t(rgba[0]) << red | uint32_t(rgba[1]) << green | uint32_t(rgba[2]) << blue;
    };
    size_t zoom = size_t(native.zoom);
    size_t width = size_t(window.imageWidth) * zoom;
    native.pixels.resize(width * size_t(window.imageHeight) * zoom);
    const unsigned char* rgba = window.image.data();
    uint32_t* out = native.pixels.data();
    if (zoom == 1) {
        // Every frame of a live run passes here: one straight loop.
        for (size_t i = 0; i < native.pixels.size(); ++i, rgba += 4)
            out[i] = visualPixel(rgba);
    } else {
        for (int row = 0; row < window.imageHeight; ++row) {
            uint32_t* first = out;
            for (int column = 0; column < window.imageWidth; ++column, rgba += 4)
                out = std::fill_n(out, zoom, visualPixel(rgba));
            for (size_t copy = 1; copy < zoom; ++copy, out += width)
                std::copy(first, first + width, out);
        }
    }
    native.width = int(width);
    native.height = window.imageHeight * int(zoom);
    return true;
}

} // namespace

void putNativeImage(const X11Connection& x, X11Window& native) {
    if (native.pixels.empty()) return;
    XImage* image = XCreateImage(x.display, x.visual, unsigned(x.depth), ZPixmap, 0,
                                 reinterpret_cast<char*>(native.pixels.data()),
                                 unsigned(native.width), unsigned(native.height), 32, 0);
    if (!image) return;
    const uint32_t probe = 1;
    image->byte_order = *reinterpret_cast<const unsigned char*>(&probe) ? LSBFirst : MSBFirst;
    if (image->bits_per_pixel == 32)
        XPutImage(x.display, native.id, native.gc, image, 0, 0, 0, 0, unsigned(native.width),
                  unsigned(native.height));
    image->data = nullptr; // the pixels belong to the window record
    XDestroyImage(image);
    XFlush(x.display);
}

void displayShowWindow(HWND handle, const Window& window) {
    StateLock lock(stateMutex());
    if (!displayConnected() || (window.style & WS_CHILD)) return;
    X11Connection& x = x11Connection();
    auto found = x11Windows().find(handle);
    X11Window* native =
        found != x11Windows().end() ? &found->second : createNative(x, handle, window);
    if (!native || native->mapped) return;
    XMapWindow(x.display, native->id);
    native->mapped = true;
    XFlush(x.display);
}

void displayHideWindow(HWND handle) {
    StateLock lock(stateMutex());
    auto found = x11Windows().find(handle);
    if (found == x11Windows().end() || !found->second.mapped) return;
    XUnmapWindow(x11Connection().display, found->second.id);
    found->second.mapped = false;
    XFlush(x11Connection().display);
}

void displayDestroyWindow(HWND handle) {
    StateLock lock(stateMutex());
    auto found = x11Windows().find(handle);
    if (found == x11Windows().end()) return;
    ::Display* display = x11Connection().display;
    XFreeGC(display, found->second.gc);
    XDestroyWindow(display, found->second.id);
    XFlush(display);
    x11Windows().erase(found);
}

void displaySetTitle(HWND handle, const std::string& title) {
    StateLock lock(stateMutex());
    auto found = x11Windows().find(handle);
    if (found == x11Windows().end()) return;
    storeTitle(x11Connection(), found->second.id, title);
    XFlush(x11Connection().display);
}

void displayPresent(HWND handle, const Window& window) {
    StateLock lock(stateMutex());
    auto found = x11Windows().find(handle);
    if (found == x11Windows().end()) return;
    if (convertImage(x11Connection(), window, found->second))
        putNativeImage(x11Connection(), found->second);
}

unsigned long displayNativeWindow(HWND handle) {
    StateLock lock(stateMutex());
    auto found = x11Windows().find(handle);
    return found == x11Windows().end() ? 0 : found->second.id;
}

} // namespace zdp
