// The desktop the subset's windows appear on, when there is one: X11 when
// DISPLAY names a reachable server (x11_*.cpp), nothing otherwise
// (display_none.cpp). Without a display every call here does nothing and the
// subset stays headless: windows live in its tables only and SwapBuffers'
// picture is seen through platformWindowImage alone.
//
// Only top-level windows that are shown get a native window; the GL context
// never touches it: SwapBuffers hands over the picture it read back.
#pragma once

#include "window_state.h"

namespace zdp {

// Opens the connection on first use; false when there is no display or its
// use is turned off.
bool displayConnected();
void displayUse(bool on);
// The whole-pixel scale given to native windows created from now on.
void displaySetZoom(int zoom);
// How native windows created from now on scale the picture to their size:
// smoothly (bilinear) or in blocks (nearest).
void displaySetSmoothScaling(bool smooth);
// Whether windows shown from now on open filling the screen.
void displayOpenFullScreen(bool on);
// Full screen or back; false when the window is not on the desktop.
bool displaySetFullScreen(HWND handle, bool on);
bool displayFullScreen(HWND handle);

// Whether some window is on the display now, so its input needs watching.
bool displayShowsWindows();

// Creates the native window on the first show, then maps it.
void displayShowWindow(HWND handle, const Window& window);
void displayHideWindow(HWND handle);
void displayDestroyWindow(HWND handle);
void displaySetTitle(HWND handle, const std::string& title);
// Shows the window's visible image (top-down RGBA8 rows).
void displayPresent(HWND handle, const Window& window);
// The native window's id, 0 when it has none.
unsigned long displayNativeWindow(HWND handle);

// Turns the display's pending input into the messages Windows would post.
// Called without the state lock: it sends WM_MOVE itself.
void displayPumpEvents();

} // namespace zdp
