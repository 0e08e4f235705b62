// What the X11 backend keeps: the one connection and a native window for each
// shown top-level window. Guarded by the subset's state lock.
#pragma once

#include <windows.h>

#include <X11/Xlib.h>

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
    Atom wmProtocols = 0;
    Atom wmDeleteWindow = 0;
    Atom netWmName = 0;
    Atom netWmPid = 0;
    Atom utf8String = 0;
    Atom motifWmHints = 0;
    // Keys held down, by X key code: a press of a held key is an auto-repeat.
    std::bitset<256> keysDown;
};

struct X11Window {
    ::Window id = 0;
    GC gc = nullptr;
    // The visible image in the visual's pixel layout, for XPutImage.
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    bool mapped = false;
    int zoom = 1;         // each client pixel is a zoom by zoom block of this window
    POINT clientOrigin{}; // on the screen, where the server last put it
};

// Null display when DISPLAY is unset or the server cannot be reached.
X11Connection& x11Connection();
std::map<HWND, X11Window>& x11Windows();
HWND windowForNative(::Window id);
// The zoom new native windows get (displaySetZoom).
int displayZoom();

// Puts the window's converted picture on the screen; also the answer to Expose.
void putNativeImage(const X11Connection& x, X11Window& native);

// Key translation (x11_keys.cpp).
// The virtual-key code of an X key event, 0 for keys the subset does not name.
WPARAM virtualKeyFor(XKeyEvent& event);
// Windows' key data: repeat count 1, scan code, extended, context (Alt),
// previous state and transition bits.
LPARAM keyDataFor(WPARAM key, bool altDown, bool wasDown, bool release);

} // namespace zdp
