// Update regions and WM_PAINT. The update region is kept as its bounding
// rectangle; ValidateRect clears it when the given rectangle covers it.
#include "window_state.h"

#include <algorithm>

namespace zdp {
namespace {

bool isEmpty(const RECT& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

RECT intersection(const RECT& a, const RECT& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

RECT unionOf(const RECT& a, const RECT& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

bool covers(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

void invalidate(Window& window, const RECT* rect) {
    RECT client = clientRectOf(window);
    RECT area = rect ? intersection(*rect, client) : client;
    if (isEmpty(area)) return;
    window.updateRect = window.needsPaint ? unionOf(window.updateRect, area) : area;
    window.needsPaint = true;
}

} // namespace

HWND findWindowToPaint(std::thread::id thread, HWND filter) {
    StateLock lock(stateMutex());
    for (uintptr_t value : windowTable().handles()) {
        const Window* window = windowTable().find(value);
        HWND handle = handleFrom<HWND>(value);
        if (window->thread == thread && window->visible && window->needsPaint &&
            passesWindowFilter(handle, filter))
            return handle;
    }
    return nullptr;
}

} // namespace zdp

using namespace zdp;

// A null window invalidates every window, as on Windows.
BOOL WINAPI InvalidateRect(HWND handle, const RECT* rect, BOOL) {
    StateLock lock(stateMutex());
    if (!handle) {
        for (uintptr_t value : windowTable().handles())
            invalidate(*windowTable().find(value), rect);
    } else {
        Window* window = checkWindow(handle);
        if (!window) return FALSE;
        invalidate(*window, rect);
    }
    wakeMessageWaiters();
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND handle, const RECT* rect) {
    StateLock lock(stateMutex());
    if (!handle) return TRUE;
    Window* window = checkWindow(handle);
    if (!window) return FALSE;
    if (!rect || covers(*rect, window->updateRect)) window->needsPaint = false;
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND handle) {
    bool paint;
    {
        StateLock lock(stateMutex());
        const Window* window = checkWindow(handle);
        if (!window) return FALSE;
        paint = window->visible && window->needsPaint;
    }
    if (paint) SendMessageA(handle, WM_PAINT, 0, 0);
    return TRUE;
}
