// No desktop: built without X11. Windows exist in the subset's tables only.
#include "display.h"

namespace zdp {

bool displayConnected() {
    return false;
}

void displayUse(bool) {}
void displaySetZoom(int) {}
void displaySetSmoothScaling(bool) {}
void displayOpenFullScreen(bool) {}

bool displaySetFullScreen(HWND, bool) {
    return false;
}

bool displayFullScreen(HWND) {
    return false;
}

bool displayShowsWindows() {
    return false;
}

void displayShowWindow(HWND, const Window&) {}
void displayHideWindow(HWND) {}
void displayDestroyWindow(HWND) {}
void displaySetTitle(HWND, const std::string&) {}
void displayPresent(HWND, const Window&) {}

unsigned long displayNativeWindow(HWND) {
    return 0;
}

void displayPumpEvents() {}

} // namespace zdp
