// The plug-in's own 640 by 480 window: registered and created by onStart,
// destroyed by onStop or the user's close box. Its creation sets up the GL
// context, the font and the playlist panel; its destruction releases them.
#pragma once

#include <windows.h>

#include <atomic>

class PlaylistPanel;

struct WindowPlacement {
    int x;
    int y;
    int width;
    int height;
};

// The class is registered under the library's name.
extern const char* const windowClassName;

// Read by frames on other threads before they take the lock.
extern std::atomic<HWND> renderWindow;
extern HDC renderDC;
extern HGLRC renderContext;
extern HPALETTE renderPalette;
extern PlaylistPanel* playlistPanel;
extern WindowPlacement windowPlacement;
extern int clientWidth;
extern int clientHeight;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Only the window's own thread may destroy it, and the class can go only once
// the window has: a stop from another thread is sent to the window's thread
// (wParam: the instance), which carries it out.
constexpr UINT stopWindowMessage = WM_USER + 2;
// False when another thread owns the window and did not answer in time.
bool stopRenderWindow(HWND window, HINSTANCE instance);
// On the window's thread, or for a window already gone.
void stopRenderWindowHere(HWND window, HINSTANCE instance);

// The key table: viewState changes for one key-down (auto-repeats included),
// and the sphere's collapse on the up arrow's release.
void handleKeyDown(WPARAM key);
void handleKeyUp(WPARAM key);
// The click zones, in client pixels from the top-left corner: scrolls the
// panel, and gives the index of the title clicked, or -1.
int handleClick(int x, int y);
// Makes the host select the title and play it.
void playTitle(int index);
