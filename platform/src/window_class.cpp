// Window classes: RegisterClassExA, UnregisterClassA, GetClassNameA.
#include "hooks_state.h"
#include "window_state.h"

#include <strings.h>

#include <algorithm>
#include <memory>

namespace zdp {
namespace {

// Atoms of registered classes start where Windows starts string atoms.
constexpr ATOM firstClassAtom = 0xC000;

std::vector<std::unique_ptr<WindowClass>>& classList() {
    static auto* list = new std::vector<std::unique_ptr<WindowClass>>;
    return *list;
}

ATOM nextAtom() {
    static ATOM atom = firstClassAtom;
    ATOM result = atom;
    atom = atom == 0xFFFF ? firstClassAtom : ATOM(atom + 1);
    return result;
}

bool sameName(const WindowClass& windowClass, LPCSTR name) {
    if (IS_INTRESOURCE(name)) return windowClass.atom == ATOM(uintptr_t(name));
    return strcasecmp(windowClass.name.c_str(), name) == 0;
}

// A class is looked up among the instance's own classes first, then among
// global ones, as Windows does.
std::vector<std::unique_ptr<WindowClass>>::iterator locate(LPCSTR name, HINSTANCE instance,
                                                           bool globalToo) {
    auto& list = classList();
    auto own = std::find_if(list.begin(), list.end(), [&](const auto& windowClass) {
        return windowClass->instance == instance && sameName(*windowClass, name);
    });
    if (own != list.end() || !globalToo) return own;
    return std::find_if(list.begin(), list.end(), [&](const auto& windowClass) {
        return (windowClass->style & CS_GLOBALCLASS) && sameName(*windowClass, name);
    });
}

bool validClassRequest(const WNDCLASSEXA* request) {
    return request && request->cbSize == sizeof(WNDCLASSEXA) && request->lpfnWndProc &&
           request->lpszClassName && request->cbWndExtra >= 0 && request->cbClsExtra >= 0 &&
           (IS_INTRESOURCE(request->lpszClassName) || request->lpszClassName[0] != '\0');
}

} // namespace

WindowClass* findClass(LPCSTR className, HINSTANCE instance) {
    if (!className) return nullptr;
    auto found = locate(className, instance, true);
    return found == classList().end() ? nullptr : found->get();
}

void unregisterAllClasses() {
    classList().clear();
}

int registeredClassCount() {
    return int(classList().size());
}

} // namespace zdp

using namespace zdp;

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* request) {
    StateLock lock(stateMutex());
    if (!validClassRequest(request)) {
        setError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (failureActive(PlatformFailure::RegisterClass)) {
        setError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    if (IS_INTRESOURCE(request->lpszClassName) ||
        locate(request->lpszClassName, request->hInstance, false) != classList().end()) {
        setError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto windowClass = std::make_unique<WindowClass>();
    windowClass->name = request->lpszClassName;
    windowClass->atom = nextAtom();
    windowClass->instance = request->hInstance;
    windowClass->style = request->style;
    windowClass->procedure = request->lpfnWndProc;
    windowClass->windowExtraBytes = request->cbWndExtra;
    windowClass->icon = request->hIcon;
    windowClass->smallIcon = request->hIconSm;
    windowClass->cursor = request->hCursor;
    windowClass->background = request->hbrBackground;
    ATOM atom = windowClass->atom;
    classList().push_back(std::move(windowClass));
    return atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    StateLock lock(stateMutex());
    if (!className) {
        setError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto found = locate(className, instance, false);
    if (found == classList().end()) {
        setError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if ((*found)->windowCount > 0) {
        setError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    classList().erase(found);
    return TRUE;
}

int WINAPI GetClassNameA(HWND window, LPSTR className, int maxCount) {
    StateLock lock(stateMutex());
    Window* found = checkWindow(window);
    if (!found) return 0;
    if (!className || maxCount <= 0) {
        setError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::string& name = found->windowClass->name;
    int length = std::min<int>(int(name.size()), maxCount - 1);
    name.copy(className, size_t(length));
    className[length] = '\0';
    return length;
}
