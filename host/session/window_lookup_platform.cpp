#include "session/window_lookup.h"

#include <platform_hooks.h>

namespace {
HWND watchedOwner = nullptr;
HWND seenWindow = nullptr;

// onStart paints the new window at once, so its first presentation names it.
void notePresentation(HWND window, void*) {
    if (!seenWindow && window != watchedOwner && GetWindow(window, GW_OWNER) == watchedOwner)
        seenWindow = window;
}
} // namespace

void watchForOwnedWindows(HWND owner) {
    watchedOwner = owner;
    seenWindow = nullptr;
    platformSetPresentListener(notePresentation, nullptr);
}

void stopWatchingWindows() {
    platformSetPresentListener(nullptr, nullptr);
}

HWND findOwnedWindow(HWND owner) {
    return owner == watchedOwner && seenWindow && IsWindow(seenWindow) ? seenWindow : nullptr;
}
