#include "session/live_display.h"

#include <platform_hooks.h>

bool liveDisplayAvailable() {
    return platformDisplayAvailable();
}

unsigned long desktopWindowId(HWND window) {
    return platformNativeWindow(window);
}

void keepWindowsOffDesktop() {
    platformUseDisplay(false);
}

void setUpLiveWindows(const LiveWindowLook& look) {
    platformSetDisplayZoom(look.zoom);
    platformSetDisplayScaling(look.scaling == LiveScaling::smooth ||
                              (look.scaling == LiveScaling::byZoom && look.zoom == 1));
    platformOpenFullScreen(look.fullScreen);
}

bool liveWindowFullScreen(HWND window) {
    return platformIsFullScreen(window);
}

void setLiveWindowFullScreen(HWND window, bool on) {
    platformSetFullScreen(window, on);
}
