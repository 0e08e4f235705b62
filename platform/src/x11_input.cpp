// X events to the messages Windows would post: keys with virtual-key codes
// and key data, mouse buttons and moves in client coordinates, WM_CLOSE from
// the close box. Exposed windows get their last picture back without a
// WM_PAINT, as a composited desktop shows them, so frames stay counted.
// Pointer positions on a window scaled to another size come back in the
// program's client pixels; presses on the black around the picture are not
// in the client area, and go nowhere.
#include "display.h"
#include "x11_state.h"

#include <vector>

namespace zdp {
namespace {

struct Move {
    HWND window;
    LPARAM origin;
};

LPARAM pointParam(int x, int y) {
    return LPARAM(uint32_t(uint16_t(y)) << 16 | uint16_t(x));
}

LPARAM clientPointParam(const X11Window& native, int x, int y) {
    POINT point = clientPointOf(native, x, y);
    return pointParam(point.x, point.y);
}

// Without detectable auto-repeat the server reports a held key as release
// and press pairs with one time stamp; the release is then no release.
bool isRepeatRelease(const X11Connection& x, const XKeyEvent& release) {
    if (!XEventsQueued(x.display, QueuedAfterReading)) return false;
    XEvent next;
    XPeekEvent(x.display, &next);
    return next.type == KeyPress && next.xkey.window == release.window &&
           next.xkey.keycode == release.keycode && next.xkey.time - release.time < 20;
}

void onKey(X11Connection& x, HWND handle, XKeyEvent& event, bool release) {
    if (release && isRepeatRelease(x, event)) return;
    unsigned code = event.keycode & 0xFF;
    bool wasDown = x.keysDown[code];
    x.keysDown[code] = !release;
    WPARAM key = virtualKeyFor(event);
    if (!key) return;
    bool alt = (event.state & Mod1Mask) || key == VK_MENU;
    bool system = alt || key == VK_F10;
    UINT message =
        release ? (system ? WM_SYSKEYUP : WM_KEYUP) : (system ? WM_SYSKEYDOWN : WM_KEYDOWN);
    PostMessageA(handle, message, key, keyDataFor(key, alt, release || wasDown, release));
}

// The MK_ flags of the buttons and modifiers held once the event is over.
WPARAM mouseKeys(unsigned state, unsigned button, bool release) {
    unsigned mask = 0;
    if (button >= Button1 && button <= Button3) mask = Button1Mask << (button - Button1);
    state = release ? state & ~mask : state | mask;
    WPARAM keys = 0;
    if (state & Button1Mask) keys |= MK_LBUTTON;
    if (state & Button2Mask) keys |= MK_MBUTTON;
    if (state & Button3Mask) keys |= MK_RBUTTON;
    if (state & ShiftMask) keys |= MK_SHIFT;
    if (state & ControlMask) keys |= MK_CONTROL;
    return keys;
}

void onButton(HWND handle, const X11Window& native, const XButtonEvent& event, bool release) {
    static const UINT downMessages[] = {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};
    if (event.button < Button1 || event.button > Button3) return;
    if (!release && !insidePicture(native, event.x, event.y)) return;
    UINT message = downMessages[event.button - Button1] + (release ? 1 : 0);
    PostMessageA(handle, message, mouseKeys(event.state, event.button, release),
                 clientPointParam(native, event.x, event.y));
}

// Windows keeps one WM_MOUSEMOVE for the latest position; so do we.
void onMotion(const X11Connection& x, HWND handle, const X11Window& native, XMotionEvent event) {
    XEvent later;
    while (XCheckTypedWindowEvent(x.display, event.window, MotionNotify, &later))
        event = later.xmotion;
    PostMessageA(handle, WM_MOUSEMOVE, mouseKeys(event.state, 0, false),
                 clientPointParam(native, event.x, event.y));
}

// The window manager moved the window: its outer rectangle follows the
// client area. Resized, it shows the picture at the new size; the program's
// window keeps its own.
void onConfigure(const X11Connection& x, HWND handle, X11Window& native,
                 const XConfigureEvent& event, std::vector<Move>& moves) {
    resizePicture(x, native, event.width, event.height);
    int left = 0, top = 0;
    ::Window child;
    XTranslateCoordinates(x.display, native.id, x.root, 0, 0, &left, &top, &child);
    if (left == native.clientOrigin.x && top == native.clientOrigin.y) return;
    Window* window = findWindow(handle);
    if (!window) return;
    LONG dx = left - native.clientOrigin.x, dy = top - native.clientOrigin.y;
    window->rect = {window->rect.left + dx, window->rect.top + dy, window->rect.right + dx,
                    window->rect.bottom + dy};
    native.clientOrigin = {left, top};
    moves.push_back({handle, pointParam(left, top)});
}

void onClientMessage(const X11Connection& x, HWND handle, const XClientMessageEvent& event) {
    if (event.message_type == x.wmProtocols && Atom(event.data.l[0]) == x.wmDeleteWindow)
        PostMessageA(handle, WM_CLOSE, 0, 0);
}

// Someone else destroyed the native window: to the program it is as if the
// user had closed it.
// The X window is gone already; its graphics context is still ours to free.
void onDestroyed(X11Connection& x, HWND handle) {
    auto found = x11Windows().find(handle);
    if (found != x11Windows().end()) {
        XFreeGC(x.display, found->second.gc);
        x11Windows().erase(found);
    }
    PostMessageA(handle, WM_CLOSE, 0, 0);
}

void handleEvent(X11Connection& x, XEvent& event, std::vector<Move>& moves) {
    HWND handle = windowForNative(event.xany.window);
    if (!handle) return;
    X11Window& native = x11Windows()[handle];
    switch (event.type) {
    case KeyPress:
    case KeyRelease:
        onKey(x, handle, event.xkey, event.type == KeyRelease);
        break;
    case ButtonPress:
    case ButtonRelease:
        onButton(handle, native, event.xbutton, event.type == ButtonRelease);
        break;
    case MotionNotify:
        onMotion(x, handle, native, event.xmotion);
        break;
    case Expose:
        if (event.xexpose.count == 0) redrawPicture(x, native);
        break;
    case ConfigureNotify:
        onConfigure(x, handle, native, event.xconfigure, moves);
        break;
    case ClientMessage:
        onClientMessage(x, handle, event.xclient);
        break;
    case DestroyNotify:
        onDestroyed(x, handle);
        break;
    case PropertyNotify:
        if (event.xproperty.atom == x.netWmState) readFullScreenState(x, native);
        break;
    case FocusOut:
        x.keysDown.reset();
        break;
    }
}

} // namespace

void displayPumpEvents() {
    std::vector<Move> moves;
    {
        StateLock lock(stateMutex());
        if (x11Windows().empty()) return;
        X11Connection& x = x11Connection();
        while (XPending(x.display)) {
            XEvent event;
            XNextEvent(x.display, &event);
            handleEvent(x, event, moves);
        }
    }
    for (const Move& move : moves)
        if (IsWindow(move.window)) SendMessageA(move.window, WM_MOVE, 0, move.origin);
}

} // namespace zdp
