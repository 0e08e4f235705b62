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

void zoomLiveWindows(int zoom) {
    platformSetDisplayZoom(zoom);
}
