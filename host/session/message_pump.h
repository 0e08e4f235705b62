// Between live frames: the thread's messages dispatched, those to the
// plug-in's window and to the host traced, and the key releases the plug-in
// passed on to the host handed back, as a player's window would get them.
// F11 and Escape are the program's, as a player's accelerator keys are, and
// never reach the plug-in: F11 makes its window fill the screen or gives it
// back its size; Escape leaves full screen, and otherwise comes back as the
// player's Escape.
#pragma once

#include "session/live_trace.h"

#include <windows.h>

#include <vector>

// The keys released and passed on to `host`, in order.
std::vector<WPARAM> pumpLiveMessages(HWND host, HWND pluginWindow, LiveTrace& trace);
