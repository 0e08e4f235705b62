// What the X11 backend keeps: the one connection and a native window for each
// shown top-level window. Guarded by the subset's state lock.
#pragma once

#include "window_state.h"

#include <windows.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xrender.h>

#include <bitset>
#include <cstdint>
#include <map>
#include <vector>

namespace zdp {

struct X11Connection {
    ::Display* display = nullptr;
    int screen = 0;
    ::Window root = 0;
    Visual* visual = nullptr;
    int depth = 0;
    // The visual's format for XRender; null when the server has no RENDER,
    // and pictures are then shown at their own size.
    XRenderPictFormat* renderFormat = nullptr;
    Atom wmProtocols = 0;
    Atom wmDeleteWindow = 0;
    Atom netWmName = 0;
    Atom netWmPid = 0;
    Atom netWmState = 0;
    Atom netWmStateFullScreen = 0;
    Atom netSupportingWmCheck = 0;
    Atom utf8String = 0;
    Atom motifWmHints = 0;
    // Keys held down, by X key code: a press of a held key is an auto-repeat.
    std::bitset<256> keysDown;
};

struct X11Window {
    ::Window id = 0;
    GC gc = nullptr;
    // The picture's size: the client area's.
    int pictureWidth = 0;
    int pictureHeight = 0;
    // The last picture in the visual's pixel layout, for XPutImage.
    std::vector<uint32_t> pixels;
    // The last picture on the server, and XRender's handles on it and on the window.
    Pixmap store = 0;
    Picture source = 0;
    Picture target = 0;
    bool smooth = true;
    // The window's size on the screen, and where in it the picture lands:
    // as large as fits, keeping its shape, centred on black.
    int width = 0;
    int height = 0;
    XRectangle shown{};
    bool mapped = false;
    // As asked of the window manager, and as it last said.
    bool fullScreen = false;
    // Where the window was before it filled a screen that no window manager runs.
    XRectangle beforeFullScreen{};
    POINT clientOrigin{}; // on the screen, where the server last put it
};

// Null display when DISPLAY is unset or the server cannot be reached.
X11Connection& x11Connection();
std::map<HWND, X11Window>& x11Windows();
HWND windowForNative(::Window id);
// What native windows created from now on get (displaySetZoom, displaySetSmoothScaling,
// displayOpenFullScreen).
int displayZoom();
bool displaySmoothScaling();
bool displayOpensFullScreen();

// The picture on the window (x11_picture.cpp).
// Where the picture lands in the window at its present size.
void placePicture(const X11Connection& x, X11Window& native);
// Converts the window's visible image and puts it on the screen.
void showPicture(const X11Connection& x, X11Window& native, const Window& window);
// Draws the last picture again, with the black around it; the answer to Expose.
void redrawPicture(const X11Connection& x, X11Window& native);
// The window took a new size: the picture is placed anew and drawn again.
void resizePicture(const X11Connection& x, X11Window& native, int width, int height);
void releasePicture(const X11Connection& x, X11Window& native);
// A point on the native window in client pixels, rounding down (also
// outside the picture, where a held button still reports the pointer).
POINT clientPointOf(const X11Window& native, int x, int y);
bool insidePicture(const X11Window& native, int x, int y);

// Full screen (x11_full_screen.cpp).
// Asks before the first map, so the window opens filling the screen.
void requestFullScreenAtMap(const X11Connection& x, X11Window& native);
void setFullScreen(X11Connection& x, X11Window& native, bool on);
// The window manager changed the window's state (PropertyNotify).
void readFullScreenState(const X11Connection& x, X11Window& native);

// Key translation (x11_keys.cpp).
// The virtual-key code of an X key event, 0 for keys the subset does not name.
WPARAM virtualKeyFor(XKeyEvent& event);
// Windows' key data: repeat count 1, scan code, extended, context (Alt),
// previous state and transition bits.
LPARAM keyDataFor(WPARAM key, bool altDown, bool wasDown, bool release);

} // namespace zdp
