// Default processing of window messages: what DefWindowProcA does for the
// messages the subset generates.
#include "display.h"
#include "window_state.h"

#include <algorithm>

namespace zdp {
namespace {

LRESULT setTitle(HWND handle, LPCSTR text) {
    StateLock lock(stateMutex());
    Window* window = findWindow(handle);
    if (!window) return FALSE;
    window->title = text ? text : "";
    displaySetTitle(handle, window->title);
    return TRUE;
}

// As on Windows, a procedure that hands the default processing any handle
// but the new window's (a null one, say) makes the creation fail.
LRESULT onNcCreate(HWND handle, LPARAM lParam) {
    {
        StateLock lock(stateMutex());
        if (!findWindow(handle)) {
            setError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
    }
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    if (create && create->lpszName && !IS_INTRESOURCE(create->lpszName))
        setTitle(handle, create->lpszName);
    return TRUE;
}

LRESULT copyTitle(HWND handle, WPARAM capacity, LPARAM lParam) {
    StateLock lock(stateMutex());
    const Window* window = findWindow(handle);
    auto* text = reinterpret_cast<LPSTR>(lParam);
    if (!window || !text || capacity == 0) return 0;
    size_t length = std::min(window->title.size(), size_t(capacity) - 1);
    window->title.copy(text, length);
    text[length] = '\0';
    return LRESULT(length);
}

LRESULT titleLength(HWND handle) {
    StateLock lock(stateMutex());
    const Window* window = findWindow(handle);
    return window ? LRESULT(window->title.size()) : 0;
}

LRESULT eraseBackground(HWND handle) {
    StateLock lock(stateMutex());
    const Window* window = findWindow(handle);
    return window && window->windowClass->background ? 1 : 0;
}

} // namespace
} // namespace zdp

using namespace zdp;

LRESULT WINAPI DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        return onNcCreate(handle, lParam);
    case WM_CLOSE:
        DestroyWindow(handle);
        return 0;
    case WM_PAINT:
        ValidateRect(handle, nullptr);
        return 0;
    case WM_ERASEBKGND:
        return eraseBackground(handle);
    case WM_SETTEXT:
        return setTitle(handle, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT:
        return copyTitle(handle, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return titleLength(handle);
    default:
        return 0;
    }
}

LRESULT WINAPI CallWindowProcA(WNDPROC procedure, HWND handle, UINT message, WPARAM wParam,
                               LPARAM lParam) {
    return procedure ? procedure(handle, message, wParam, lParam) : 0;
}
