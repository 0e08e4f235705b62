#include "shell/render_context.h"
#include "shell/render_window.h"

// A frame in flight on another thread is finished first.
void stopRenderWindowHere(HWND window, HINSTANCE instance) {
    {
        RenderLock lock;
        if (window && IsWindow(window)) DestroyWindow(window);
    }
    UnregisterClassA(windowClassName, instance);
}

bool stopRenderWindow(HWND window, HINSTANCE instance) {
    if (!window || !IsWindow(window) || onWindowThread(window)) {
        stopRenderWindowHere(window, instance);
        return true;
    }
    DWORD_PTR stopped = 0;
    return SendMessageTimeoutA(window, stopWindowMessage, reinterpret_cast<WPARAM>(instance), 0,
                               SMTO_ABORTIFHUNG, windowThreadTimeoutMs, &stopped) != 0;
}
