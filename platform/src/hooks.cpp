// The hooks of platform_hooks.h: failure injection, the palette display,
// presentation listeners, the desktop, live-object counts and the reset between tests.
#include "deferred_present.h"
#include "display.h"
#include "gdi_state.h"
#include "hooks_state.h"
#include "window_state.h"

#include <atomic>

namespace zdp {
namespace {

constexpr int failureKinds = 4;
std::atomic<bool> failures[failureKinds];
std::atomic<bool> paletteDisplay{false};
std::atomic<bool> untimedSends{false};

struct PresentListener {
    PlatformPresentListener call = nullptr;
    void* user = nullptr;
};

PresentListener& presentListener() {
    static auto* listener = new PresentListener;
    return *listener;
}

} // namespace

bool failureActive(PlatformFailure failure) {
    return failures[int(failure)].load();
}

bool paletteFormatOffered() {
    return paletteDisplay.load();
}

bool sendTimeoutsWait() {
    return untimedSends.load();
}

void clearFailures() {
    for (auto& failure : failures)
        failure = false;
    paletteDisplay = false;
    untimedSends = false;
}

void notifyPresent(HWND window) {
    PresentListener listener;
    {
        StateLock lock(stateMutex());
        listener = presentListener();
    }
    if (listener.call) listener.call(window, listener.user);
}

void clearPresentListener() {
    StateLock lock(stateMutex());
    presentListener() = PresentListener{};
}

} // namespace zdp

using namespace zdp;

void platformSendTimeoutsWait(bool on) {
    untimedSends = on;
}

void platformSetFailure(PlatformFailure failure, bool on) {
    failures[int(failure)] = on;
}

void platformOfferPaletteFormat(bool on) {
    paletteDisplay = on;
}

const unsigned char* platformWindowImage(HWND handle, int* width, int* height) {
    return platformPresentedImage(handle, 0, width, height);
}

const unsigned char* platformPresentedImage(HWND handle, int present, int* width, int* height) {
    StateLock lock(stateMutex());
    Window* window = findWindow(handle);
    const unsigned char* rgba = nullptr;
    int w = 0, h = 0;
    if (window && present == 0) present = window->presentCount;
    if (window && present > 0 && present <= window->presentCount) {
        if (present == window->imagePresent) {
            rgba = window->image.data();
            w = window->imageWidth;
            h = window->imageHeight;
        } else if (window->presents) {
            rgba = presentedPicture(handle, *window, present, w, h);
        }
    }
    if (width) *width = w;
    if (height) *height = h;
    return rgba;
}

void platformDeferReadBack(bool on) {
    setDeferredReadBack(on);
}

int platformPresentCount(HWND handle) {
    StateLock lock(stateMutex());
    const Window* window = findWindow(handle);
    return window ? window->presentCount : 0;
}

void platformSetPresentListener(PlatformPresentListener listener, void* user) {
    StateLock lock(stateMutex());
    presentListener() = PresentListener{listener, user};
}

bool platformDisplayAvailable() {
    return displayConnected();
}

void platformUseDisplay(bool on) {
    displayUse(on);
}

void platformSetDisplayZoom(int zoom) {
    displaySetZoom(zoom);
}

void platformSetDisplayScaling(bool smooth) {
    displaySetSmoothScaling(smooth);
}

void platformOpenFullScreen(bool on) {
    displayOpenFullScreen(on);
}

bool platformSetFullScreen(HWND window, bool on) {
    return displaySetFullScreen(window, on);
}

bool platformIsFullScreen(HWND window) {
    return displayFullScreen(window);
}

unsigned long platformNativeWindow(HWND handle) {
    return displayNativeWindow(handle);
}

int platformLiveWindowCount() {
    StateLock lock(stateMutex());
    return windowTable().size();
}

int platformRegisteredClassCount() {
    StateLock lock(stateMutex());
    return registeredClassCount();
}

int platformLiveContextCount() {
    return liveContextCount();
}

int platformLiveDCCount() {
    return liveDeviceContextCount();
}

int platformLivePaletteCount() {
    return livePaletteCount();
}

void platformReset() {
    StateLock lock(stateMutex());
    destroyAllWindowsQuietly();
    releaseAllDeviceContexts();
    deleteAllContexts();
    deleteAllPalettes();
    unregisterAllClasses();
    clearMessageQueues();
    clearMessageBoxRecord();
    clearLoadError();
    clearFailures();
    clearPresentListener();
    setDeferredReadBack(false);
    displaySetZoom(1);
    displaySetSmoothScaling(true);
    displayOpenFullScreen(false);
}
