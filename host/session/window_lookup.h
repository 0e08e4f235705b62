// Finding the window a plug-in opened for itself: the top-level window owned
// by the host window. Watching starts before onStart, so a lookup that needs
// to see the window appear (the Win32 subset has no window list to walk, but
// reports every presentation) can.
#pragma once

#include <windows.h>

void watchForOwnedWindows(HWND owner);
void stopWatchingWindows();
// Null when no such window exists.
HWND findOwnedWindow(HWND owner);
