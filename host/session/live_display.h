// The desktop the plug-in's window appears on during `play` and `listen`.
// One implementation per platform: the Win32 subset's X11 display on Linux.
// The window on the desktop may take any size, or fill the screen; the
// plug-in's own window keeps its client size, and its picture is scaled to
// fit, centred on black, with clicks mapped back to the plug-in's pixels.
#pragma once

#include <windows.h>

enum class LiveScaling {
    byZoom, // in blocks when the window opens zoomed, else smooth
    smooth,
    nearest,
};

// How live windows show the plug-in (--zoom, --scale-filter, --fullscreen).
struct LiveWindowLook {
    int zoom = 1; // the window opens this many times the plug-in's size
    LiveScaling scaling = LiveScaling::byZoom;
    bool fullScreen = false; // the window opens filling the screen
};

bool liveDisplayAvailable();
// The window's id on the desktop (an X window id), 0 when it has none.
unsigned long desktopWindowId(HWND window);
// Renders to a file keep the plug-in's window off the desktop, so nothing
// typed or clicked there changes what is written.
void keepWindowsOffDesktop();
// For the windows opened from now on.
void setUpLiveWindows(const LiveWindowLook& look);
bool liveWindowFullScreen(HWND window);
void setLiveWindowFullScreen(HWND window, bool on);
