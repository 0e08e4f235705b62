// Native X11 windows for the subset's shown top-level windows: the X window
// is the client area, placed where Windows would put it, with the title and
// the close box asking for WM_DELETE_WINDOW. The window manager draws the
// frame around it. The user may resize it or make it fill the screen: the
// program's window keeps its client size, and its picture is scaled to the
// native window (x11_picture.cpp).
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
                             FocusChangeMask | PropertyChangeMask;

// Any size down to a quarter of the client area's, and the client area at
// the given spot with the frame around it (static gravity), as Windows lays
// out a window from its outer rectangle.
void setSizeHints(const X11Connection& x, ::Window id, POINT origin, RECT client) {
    XSizeHints* hints = XAllocSizeHints();
    if (!hints) return;
    hints->flags = PPosition | USPosition | PMinSize | PWinGravity;
    hints->x = origin.x;
    hints->y = origin.y;
    hints->min_width = std::max(1, int(client.right) / 4);
    hints->min_height = std::max(1, int(client.bottom) / 4);
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
    setSizeHints(x, id, origin, client);
    setClassHint(x, id, window.windowClass->name);
    setDecorations(x, id, window.style);
    setProtocols(x, id);
    setOwner(x, id, window.owner);
    storeTitle(x, id, window.title);
    X11Window& native = x11Windows()[handle];
    native.id = id;
    native.gc = XCreateGC(x.display, id, 0, nullptr);
    native.clientOrigin = origin;
    native.width = width;
    native.height = height;
    native.pictureWidth = width / zoom;
    native.pictureHeight = height / zoom;
    native.smooth = displaySmoothScaling();
    placePicture(x, native);
    return &native;
}

} // namespace

void displayShowWindow(HWND handle, const Window& window) {
    StateLock lock(stateMutex());
    if (!displayConnected() || (window.style & WS_CHILD)) return;
    X11Connection& x = x11Connection();
    auto found = x11Windows().find(handle);
    bool created = found == x11Windows().end();
    X11Window* native = created ? createNative(x, handle, window) : &found->second;
    if (!native || native->mapped) return;
    bool fullScreen = created && displayOpensFullScreen();
    if (fullScreen) requestFullScreenAtMap(x, *native);
    XMapWindow(x.display, native->id);
    native->mapped = true;
    if (fullScreen) setFullScreen(x, *native, true);
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
    releasePicture(x11Connection(), found->second);
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
    showPicture(x11Connection(), found->second, window);
}

unsigned long displayNativeWindow(HWND handle) {
    StateLock lock(stateMutex());
    auto found = x11Windows().find(handle);
    return found == x11Windows().end() ? 0 : found->second.id;
}

} // namespace zdp
