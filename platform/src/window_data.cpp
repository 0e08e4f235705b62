// What a window carries: user data, extra bytes, styles, procedure, title,
// owner.
#include "window_state.h"

#include <cstring>
#include <unistd.h>

namespace zdp {
namespace {

bool extraIndexValid(const Window& window, int index, size_t width) {
    return index >= 0 && size_t(index) + width <= window.extraBytes.size();
}

LONG_PTR readLong(const Window& window, int index, size_t width, bool& ok) {
    ok = true;
    switch (index) {
    case GWLP_USERDATA:
        return window.userData;
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window.procedure);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(window.instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>((window.style & WS_CHILD) ? window.parent : window.owner);
    case GWLP_ID:
        return reinterpret_cast<LONG_PTR>(window.menu);
    case GWL_STYLE:
        return LONG(window.style);
    case GWL_EXSTYLE:
        return LONG(window.exStyle);
    }
    if (!extraIndexValid(window, index, width)) {
        ok = false;
        return 0;
    }
    LONG_PTR value = 0;
    if (width == sizeof(LONG)) {
        LONG narrow;
        std::memcpy(&narrow, &window.extraBytes[size_t(index)], sizeof narrow);
        value = narrow;
    } else {
        std::memcpy(&value, &window.extraBytes[size_t(index)], sizeof value);
    }
    return value;
}

bool writeLong(Window& window, int index, size_t width, LONG_PTR value) {
    switch (index) {
    case GWLP_USERDATA:
        window.userData = value;
        return true;
    case GWLP_WNDPROC:
        window.procedure = reinterpret_cast<WNDPROC>(value);
        return true;
    case GWLP_HINSTANCE:
        window.instance = reinterpret_cast<HINSTANCE>(value);
        return true;
    case GWLP_HWNDPARENT:
        if (window.style & WS_CHILD) return false;
        window.owner = reinterpret_cast<HWND>(value);
        return true;
    case GWLP_ID:
        window.menu = reinterpret_cast<HMENU>(value);
        return true;
    case GWL_STYLE:
        window.style = (DWORD(value) & ~DWORD(WS_VISIBLE)) | (window.style & WS_VISIBLE);
        return true;
    case GWL_EXSTYLE:
        window.exStyle = DWORD(value);
        return true;
    }
    if (!extraIndexValid(window, index, width)) return false;
    if (width == sizeof(LONG)) {
        LONG narrow = LONG(value);
        std::memcpy(&window.extraBytes[size_t(index)], &narrow, sizeof narrow);
    } else {
        std::memcpy(&window.extraBytes[size_t(index)], &value, sizeof value);
    }
    return true;
}

LONG_PTR getLong(HWND handle, int index, size_t width) {
    StateLock lock(stateMutex());
    const Window* window = checkWindow(handle);
    if (!window) return 0;
    bool ok;
    LONG_PTR value = readLong(*window, index, width, ok);
    if (!ok) setError(ERROR_INVALID_INDEX);
    return value;
}

// Returns the previous value; like Windows, success leaves the last error alone.
LONG_PTR setLong(HWND handle, int index, size_t width, LONG_PTR value) {
    StateLock lock(stateMutex());
    Window* window = checkWindow(handle);
    if (!window) return 0;
    bool ok;
    LONG_PTR previous = readLong(*window, index, width, ok);
    if (!ok || !writeLong(*window, index, width, value)) {
        setError(ERROR_INVALID_INDEX);
        return 0;
    }
    return previous;
}

} // namespace
} // namespace zdp

using namespace zdp;

LONG_PTR WINAPI GetWindowLongPtrA(HWND handle, int index) {
    return getLong(handle, index, sizeof(LONG_PTR));
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
    return setLong(handle, index, sizeof(LONG_PTR), value);
}

// The 32-bit forms keep the low 32 bits, as on 64-bit Windows.
LONG WINAPI GetWindowLongA(HWND handle, int index) {
    return LONG(getLong(handle, index, sizeof(LONG)));
}

LONG WINAPI SetWindowLongA(HWND handle, int index, LONG value) {
    return LONG(setLong(handle, index, sizeof(LONG), value));
}

int WINAPI GetWindowTextA(HWND handle, LPSTR text, int maxCount) {
    if (!IsWindow(handle)) {
        setError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (!text || maxCount <= 0) return 0;
    text[0] = '\0';
    return int(SendMessageA(handle, WM_GETTEXT, WPARAM(maxCount), reinterpret_cast<LPARAM>(text)));
}

BOOL WINAPI SetWindowTextA(HWND handle, LPCSTR text) {
    if (!IsWindow(handle)) {
        setError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return BOOL(SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

HWND WINAPI GetWindow(HWND handle, UINT command) {
    StateLock lock(stateMutex());
    const Window* window = checkWindow(handle);
    if (!window) return nullptr;
    if (command == GW_OWNER) return (window->style & WS_CHILD) ? nullptr : window->owner;
    if (command == GW_CHILD) {
        for (uintptr_t value : windowTable().handles()) {
            const Window* child = windowTable().find(value);
            if ((child->style & WS_CHILD) && child->parent == handle)
                return handleFrom<HWND>(value);
        }
        return nullptr;
    }
    // Z-order siblings are not modelled: the subset has no stacking order.
    setError(ERROR_NOT_SUPPORTED);
    return nullptr;
}

// Every window belongs to this one process.
DWORD WINAPI GetWindowThreadProcessId(HWND handle, LPDWORD processId) {
    StateLock lock(stateMutex());
    const Window* window = checkWindow(handle);
    if (!window) return 0;
    if (processId) *processId = DWORD(getpid());
    return window->threadId;
}
