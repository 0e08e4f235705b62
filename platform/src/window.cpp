// Windows: creation with Windows' message sequence, destruction of owned
// windows and children, visibility.
#include "display.h"
#include "hooks_state.h"
#include "window_state.h"

namespace zdp {
namespace {

constexpr int defaultX = 26;
constexpr int defaultY = 26;
constexpr int defaultWidth = 640;
constexpr int defaultHeight = 480;

struct Placement {
    int x, y, width, height;
};

// Owned windows are owned by the top-level window above the given one.
HWND topLevelOf(HWND handle) {
    const Window* window = findWindow(handle);
    while (window && (window->style & WS_CHILD)) {
        handle = window->parent;
        window = findWindow(handle);
    }
    return handle;
}

bool resolveRelations(DWORD style, HWND given, Window& window) {
    if (given && !findWindow(given)) {
        setError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    if (style & WS_CHILD) {
        if (!given) {
            setError(ERROR_TLW_WITH_WSCHILD);
            return false;
        }
        window.parent = given;
    } else {
        window.owner = given ? topLevelOf(given) : nullptr;
    }
    return true;
}

Placement resolvePlacement(DWORD style, int x, int y, int width, int height) {
    bool child = style & WS_CHILD;
    if (x == CW_USEDEFAULT) {
        x = child ? 0 : defaultX;
        y = child ? 0 : defaultY;
    }
    if (width == CW_USEDEFAULT) {
        width = child ? 0 : defaultWidth;
        height = child ? 0 : defaultHeight;
    }
    return {x, y, width < 0 ? 0 : width, height < 0 ? 0 : height};
}

// Builds and registers the window record; WS_VISIBLE is applied later by
// ShowWindow, as Windows does once WM_CREATE has run.
// As on Windows, a window with a dialog or sizing frame gets the raised edge
// style whether it asked for it or not, and no other window keeps it.
DWORD fixExStyle(DWORD style, DWORD exStyle) {
    const bool raised = (exStyle & WS_EX_DLGMODALFRAME) ||
                        (!(exStyle & WS_EX_STATICEDGE) && (style & (WS_DLGFRAME | WS_THICKFRAME)));
    return raised ? exStyle | WS_EX_WINDOWEDGE : exStyle & ~DWORD(WS_EX_WINDOWEDGE);
}

HWND addWindow(WindowClass& windowClass, std::unique_ptr<Window> window) {
    window->procedure = windowClass.procedure;
    window->extraBytes.assign(size_t(windowClass.windowExtraBytes), 0);
    window->thread = std::this_thread::get_id();
    window->threadId = GetCurrentThreadId();
    makeThreadQueue();
    HWND handle = handleFrom<HWND>(windowTable().add(std::move(window)));
    if (!handle) {
        setError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    ++windowClass.windowCount;
    return handle;
}

HWND newWindow(DWORD exStyle, LPCSTR className, DWORD style, Placement place, HWND parent,
               HMENU menu, HINSTANCE instance) {
    StateLock lock(stateMutex());
    WindowClass* windowClass = findClass(className, instance);
    if (!windowClass) {
        setError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (failureActive(PlatformFailure::CreateWindow)) {
        setError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto window = std::make_unique<Window>();
    if (!resolveRelations(style, parent, *window)) return nullptr;
    window->windowClass = windowClass;
    window->style = style & ~DWORD(WS_VISIBLE);
    if (!(style & (WS_CHILD | WS_POPUP))) window->style |= WS_CAPTION | WS_CLIPSIBLINGS;
    window->exStyle = fixExStyle(window->style, exStyle);
    window->rect = {place.x, place.y, place.x + place.width, place.y + place.height};
    window->instance = instance;
    window->menu = menu;
    return addWindow(*windowClass, std::move(window));
}

void sendSizeAndMove(HWND handle) {
    RECT client{};
    POINT origin{};
    {
        StateLock lock(stateMutex());
        Window* window = findWindow(handle);
        if (!window) return;
        client = clientRectOf(*window);
        origin = clientOriginOnScreen(handle);
        if (window->style & WS_CHILD) {
            POINT parentOrigin = clientOriginOnScreen(window->parent);
            origin.x -= parentOrigin.x;
            origin.y -= parentOrigin.y;
        }
    }
    SendMessageA(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    if (IsWindow(handle)) SendMessageA(handle, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
}

std::vector<HWND> windowsWhere(bool (*related)(const Window&, HWND), HWND handle) {
    std::vector<HWND> result;
    for (uintptr_t value : windowTable().handles()) {
        const Window* window = windowTable().find(value);
        if (window && related(*window, handle)) result.push_back(handleFrom<HWND>(value));
    }
    return result;
}

bool isOwnedBy(const Window& window, HWND owner) {
    return !(window.style & WS_CHILD) && window.owner == owner;
}

bool isChildOf(const Window& window, HWND parent) {
    return (window.style & WS_CHILD) && window.parent == parent;
}

bool onOtherThread(const Window& window) {
    return window.thread != std::this_thread::get_id();
}

// Windows owned by the given ones go with them, except those of other
// threads, which only lose their owner (as in Wine).
std::vector<HWND> ownedToDestroy(HWND owner) {
    std::vector<HWND> owned;
    for (HWND handle : windowsWhere(isOwnedBy, owner)) {
        Window* window = findWindow(handle);
        if (onOtherThread(*window))
            window->owner = nullptr;
        else
            owned.push_back(handle);
    }
    return owned;
}

void freeWindow(HWND handle) {
    StateLock lock(stateMutex());
    releaseWindowDeviceContexts(handle);
    releaseWindowSurface(handle);
    displayDestroyWindow(handle);
    discardWindowMessages(handle);
    std::unique_ptr<Window> window = windowTable().remove(handleValue(handle));
    if (window) --window->windowClass->windowCount;
}

// WM_DESTROY reaches a window before its children; WM_NCDESTROY after them.
void sendDestroy(HWND handle) {
    std::vector<HWND> children;
    {
        StateLock lock(stateMutex());
        for (HWND child : windowsWhere(isChildOf, handle)) {
            findWindow(child)->destroying = true;
            children.push_back(child);
        }
    }
    callProcedure(handle, WM_DESTROY, 0, 0);
    for (HWND child : children)
        sendDestroy(child);
}

void sendNcDestroyAndFree(HWND handle) {
    std::vector<HWND> children;
    {
        StateLock lock(stateMutex());
        children = windowsWhere(isChildOf, handle);
    }
    for (HWND child : children)
        sendNcDestroyAndFree(child);
    callProcedure(handle, WM_NCDESTROY, 0, 0);
    freeWindow(handle);
}

} // namespace

HandleTable<Window>& windowTable() {
    static auto* table = new HandleTable<Window>(HandleKind::Window);
    return *table;
}

Window* findWindow(HWND handle) {
    return windowTable().find(handleValue(handle));
}

Window* checkWindow(HWND handle) {
    Window* window = findWindow(handle);
    if (!window) setError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

LRESULT callProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC procedure = nullptr;
    {
        StateLock lock(stateMutex());
        Window* window = checkWindow(handle);
        if (!window) return 0;
        procedure = window->procedure;
    }
    return procedure ? procedure(handle, message, wParam, lParam) : 0;
}

void destroyAllWindowsQuietly() {
    StateLock lock(stateMutex());
    for (uintptr_t value : windowTable().handles())
        freeWindow(handleFrom<HWND>(value));
}

void destroyThreadWindowsQuietly(std::thread::id thread) {
    StateLock lock(stateMutex());
    for (uintptr_t value : windowTable().handles()) {
        const Window* window = windowTable().find(value);
        if (!window || window->thread != thread) continue;
        ownedToDestroy(handleFrom<HWND>(value));
        freeWindow(handleFrom<HWND>(value));
    }
}

} // namespace zdp

using namespace zdp;

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    Placement place = resolvePlacement(style, x, y, width, height);
    HWND handle = newWindow(exStyle, className, style, place, parent, menu, instance);
    if (!handle) return nullptr;
    CREATESTRUCTA create{param,   instance, menu,        parent,     place.height, place.width,
                         place.y, place.x,  LONG(style), windowName, className,    exStyle};
    LPARAM createParam = reinterpret_cast<LPARAM>(&create);
    if (!callProcedure(handle, WM_NCCREATE, 0, createParam)) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (IsWindow(handle) && callProcedure(handle, WM_CREATE, 0, createParam) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (IsWindow(handle)) sendSizeAndMove(handle);
    if (IsWindow(handle) && (style & WS_VISIBLE)) ShowWindow(handle, SW_SHOW);
    return IsWindow(handle) ? handle : nullptr;
}

// Only the window's own thread may destroy it, as on Windows.
BOOL WINAPI DestroyWindow(HWND handle) {
    std::vector<HWND> owned;
    {
        StateLock lock(stateMutex());
        Window* window = checkWindow(handle);
        if (!window) return FALSE;
        if (onOtherThread(*window)) {
            setError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (window->destroying) return TRUE;
        window->destroying = true;
        window->visible = false;
        window->style &= ~DWORD(WS_VISIBLE);
        displayHideWindow(handle);
        owned = ownedToDestroy(handle);
    }
    for (HWND ownedWindow : owned)
        DestroyWindow(ownedWindow);
    sendDestroy(handle);
    sendNcDestroyAndFree(handle);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND handle) {
    StateLock lock(stateMutex());
    return findWindow(handle) != nullptr;
}

BOOL WINAPI IsWindowVisible(HWND handle) {
    StateLock lock(stateMutex());
    const Window* window = findWindow(handle);
    return window && window->visible;
}

BOOL WINAPI ShowWindow(HWND handle, int command) {
    bool wasVisible;
    bool show = command != SW_HIDE;
    {
        StateLock lock(stateMutex());
        const Window* window = checkWindow(handle);
        if (!window) return FALSE;
        wasVisible = window->visible;
    }
    if (show == wasVisible) return wasVisible;
    callProcedure(handle, WM_SHOWWINDOW, show, 0);
    StateLock lock(stateMutex());
    Window* window = findWindow(handle);
    if (!window) return wasVisible;
    window->visible = show;
    if (show) {
        window->style |= WS_VISIBLE;
        window->needsPaint = true;
        window->updateRect = clientRectOf(*window);
        displayShowWindow(handle, *window);
        wakeMessageWaiters();
    } else {
        window->style &= ~DWORD(WS_VISIBLE);
        displayHideWindow(handle);
    }
    return wasVisible;
}
