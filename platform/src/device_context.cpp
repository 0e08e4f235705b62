// Device contexts: GetDC hands out a new one per call, each tied to its
// window; a window's destruction releases those still held.
#include "gdi_state.h"
#include "hooks_state.h"
#include "window_state.h"

namespace zdp {

HandleTable<DeviceContext>& deviceContextTable() {
    static auto* table = new HandleTable<DeviceContext>(HandleKind::DeviceContext);
    return *table;
}

DeviceContext* checkDeviceContext(HDC dc) {
    DeviceContext* found = deviceContextTable().find(handleValue(dc));
    if (!found) setError(ERROR_INVALID_HANDLE);
    return found;
}

void releaseWindowDeviceContexts(HWND window) {
    StateLock lock(stateMutex());
    for (uintptr_t value : deviceContextTable().handles())
        if (deviceContextTable().find(value)->window == window) deviceContextTable().remove(value);
}

void releaseAllDeviceContexts() {
    StateLock lock(stateMutex());
    for (uintptr_t value : deviceContextTable().handles())
        deviceContextTable().remove(value);
}

int liveDeviceContextCount() {
    StateLock lock(stateMutex());
    return deviceContextTable().size();
}

} // namespace zdp

using namespace zdp;

// A null window gives a context for the screen, which has no pixel format.
HDC WINAPI GetDC(HWND window) {
    StateLock lock(stateMutex());
    if (window && !checkWindow(window)) return nullptr;
    auto context = std::make_unique<DeviceContext>();
    context->window = window;
    HDC dc = handleFrom<HDC>(deviceContextTable().add(std::move(context)));
    if (!dc) setError(ERROR_NOT_ENOUGH_MEMORY);
    return dc;
}

int WINAPI ReleaseDC(HWND window, HDC dc) {
    StateLock lock(stateMutex());
    const DeviceContext* context = deviceContextTable().find(handleValue(dc));
    if (!context || context->window != window) return 0;
    deviceContextTable().remove(handleValue(dc));
    return 1;
}

HWND WINAPI WindowFromDC(HDC dc) {
    StateLock lock(stateMutex());
    const DeviceContext* context = deviceContextTable().find(handleValue(dc));
    return context ? context->window : nullptr;
}
