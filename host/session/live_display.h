// The desktop the plug-in's window appears on during `play`. One
// implementation per platform: the Win32 subset's X11 display on Linux.
#pragma once

#include <windows.h>

bool liveDisplayAvailable();
// The window's id on the desktop (an X window id), 0 when it has none.
unsigned long desktopWindowId(HWND window);
// Renders to a file keep the plug-in's window off the desktop, so nothing
// typed or clicked there changes what is written.
void keepWindowsOffDesktop();
// Windows opened from now on show each client pixel as a zoom by zoom block;
// clicks come back in the window's own client pixels.
void zoomLiveWindows(int zoom);
