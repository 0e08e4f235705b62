// The Windows host renders to files only: it shows nothing live, and the
// plug-in's window is an ordinary window of the desktop it runs on.
#include "session/live_display.h"

bool liveDisplayAvailable() {
    return false;
}

unsigned long desktopWindowId(HWND) {
    return 0;
}

void keepWindowsOffDesktop() {}

void setUpLiveWindows(const LiveWindowLook&) {}

bool liveWindowFullScreen(HWND) {
    return false;
}

void setLiveWindowFullScreen(HWND, bool) {}
