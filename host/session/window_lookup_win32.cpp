// Finding the plug-in's window on Windows: among the calling thread's own
// windows (the plug-in creates it in onStart, on the host's thread), the one
// the host window owns.
#include "session/window_lookup.h"

namespace {
struct Search {
    HWND owner;
    HWND found;
};

BOOL CALLBACK matchOwned(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    if (window == search->owner || GetWindow(window, GW_OWNER) != search->owner) return TRUE;
    search->found = window;
    return FALSE;
}
} // namespace

void watchForOwnedWindows(HWND) {}

void stopWatchingWindows() {}

HWND findOwnedWindow(HWND owner) {
    Search search{owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), matchOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
