// Full screen through the window manager (EWMH's _NET_WM_STATE_FULLSCREEN),
// or, on a screen that no window manager runs, by filling it ourselves.
#include "display.h"
#include "x11_state.h"

#include <X11/Xatom.h>

namespace zdp {
namespace {

constexpr long stateRemove = 0;
constexpr long stateAdd = 1;
constexpr long sourceApplication = 1;

bool windowManagerRuns(const X11Connection& x) {
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(x.display, x.root, x.netSupportingWmCheck, 0, 1, False, XA_WINDOW, &type,
                       &format, &count, &after, &data);
    if (data) XFree(data);
    return count == 1;
}

void askWindowManager(const X11Connection& x, const X11Window& native, bool on) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = native.id;
    event.xclient.message_type = x.netWmState;
    event.xclient.format = 32;
    event.xclient.data.l[0] = on ? stateAdd : stateRemove;
    event.xclient.data.l[1] = long(x.netWmStateFullScreen);
    event.xclient.data.l[3] = sourceApplication;
    XSendEvent(x.display, x.root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

// Without a window manager nobody else moves windows: cover the screen, and
// go back to where the window was.
void fillScreen(const X11Connection& x, X11Window& native, bool on) {
    XRectangle& before = native.beforeFullScreen;
    if (on) {
        ::Window root;
        int left, top;
        unsigned width, height, border, depth;
        XGetGeometry(x.display, native.id, &root, &left, &top, &width, &height, &border, &depth);
        before = {short(left), short(top), (unsigned short)width, (unsigned short)height};
        XMoveResizeWindow(x.display, native.id, 0, 0, unsigned(DisplayWidth(x.display, x.screen)),
                          unsigned(DisplayHeight(x.display, x.screen)));
        XRaiseWindow(x.display, native.id);
    } else if (before.width > 0) {
        XMoveResizeWindow(x.display, native.id, before.x, before.y, before.width, before.height);
    }
}

} // namespace

void requestFullScreenAtMap(const X11Connection& x, X11Window& native) {
    if (!windowManagerRuns(x)) return;
    Atom state = x.netWmStateFullScreen;
    XChangeProperty(x.display, native.id, x.netWmState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&state), 1);
    native.fullScreen = true;
}

void setFullScreen(X11Connection& x, X11Window& native, bool on) {
    if (on == native.fullScreen) return;
    native.fullScreen = on;
    if (windowManagerRuns(x))
        askWindowManager(x, native, on);
    else
        fillScreen(x, native, on);
    XFlush(x.display);
}

void readFullScreenState(const X11Connection& x, X11Window& native) {
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(x.display, native.id, x.netWmState, 0, 64, False, XA_ATOM, &type, &format,
                       &count, &after, &data);
    bool fullScreen = false;
    for (unsigned long i = 0; data && format == 32 && i < count; ++i)
        fullScreen |= reinterpret_cast<Atom*>(data)[i] == x.netWmStateFullScreen;
    if (data) XFree(data);
    native.fullScreen = fullScreen;
}

bool displaySetFullScreen(HWND handle, bool on) {
    StateLock lock(stateMutex());
    auto found = x11Windows().find(handle);
    if (found == x11Windows().end()) return false;
    setFullScreen(x11Connection(), found->second, on);
    return true;
}

bool displayFullScreen(HWND handle) {
    StateLock lock(stateMutex());
    auto found = x11Windows().find(handle);
    return found != x11Windows().end() && found->second.fullScreen;
}

} // namespace zdp
