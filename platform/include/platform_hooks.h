// Test and host hooks of the Win32 subset; not part of <windows.h>.
//
// Failure injection (sticky until cleared or reset):
//   platformSetFailure(PlatformFailure::CreateWindow, true);  // CreateWindowExA -> NULL
// A 256-colour display, whose only window formats are 8-bit 3-3-2 palette formats:
//   platformOfferPaletteFormat(true);
// No answer lost to a loaded machine: SendMessageTimeoutA waits as long as it takes:
//   platformSendTimeoutsWait(true);
// What the user would have seen:
//   platformMessageBoxes()          every MessageBoxA since the last clear
//   platformWindowImage(window,...) the last picture SwapBuffers presented
//   platformPresentCount(window)    how many times it was presented
//   platformPresentedImage(w, n,..) the picture of presentation n, while kept
//   platformSetPresentListener(f)   called after every presentation
// The desktop, when DISPLAY names a reachable X server:
//   platformDisplayAvailable()      shown top-level windows become X windows
//   platformNativeWindow(window)    the X window id, for screenshots and input
//   platformUseDisplay(false)       keep every window off it (renders to a file)
//   platformSetDisplayZoom(2)       open windows twice as large
//   platformSetDisplayScaling(false) scale pictures to their window in blocks
//   platformOpenFullScreen(true)    open windows filling the screen
//   platformSetFullScreen(w, on)    full screen or back, as F11 does in a player
// Leak checks: platformLive*Count(); platformReset() puts everything back
// to a fresh process, quietly (no window procedure is called).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

enum class PlatformFailure {
    RegisterClass,     // RegisterClassExA returns 0
    CreateWindow,      // CreateWindowExA returns NULL before sending any message
    ChoosePixelFormat, // ChoosePixelFormat returns 0
    SetPixelFormat,    // SetPixelFormat returns FALSE
};

struct PlatformMessageBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

typedef void (*PlatformPresentListener)(HWND window, void* user);

#define PLATFORM_HOOK __attribute__((visibility("default")))

PLATFORM_HOOK void platformSetFailure(PlatformFailure failure, bool on);
PLATFORM_HOOK void platformOfferPaletteFormat(bool on);
// Off by default (and after platformReset). On: SendMessageTimeoutA ignores its
// timeout and waits for the answer, as SendMessageA does; the hung rule of
// SMTO_ABORTIFHUNG still applies.
PLATFORM_HOOK void platformSendTimeoutsWait(bool on);

PLATFORM_HOOK std::vector<PlatformMessageBox> platformMessageBoxes();
PLATFORM_HOOK void platformClearMessageBoxes();

// The top-down RGBA8 rows of the client area as last presented, or null when
// nothing has been presented to that window yet. Valid until the next
// presentation to the window or its destruction.
PLATFORM_HOOK const unsigned char* platformWindowImage(HWND window, int* width, int* height);
// Off by default. On: SwapBuffers of a window that is not on the desktop
// returns without waiting for the frame to be drawn, and its picture is read
// back when asked for, so a host that collects each frame after sending the
// next one keeps the rasterizer and its own thread busy at once.
PLATFORM_HOOK void platformDeferReadBack(bool on);
// The picture of the window's presentation number `present` (counted as
// platformPresentCount counts; 0: the latest), or null once the window no
// longer holds it. Windows keep the last presentation, and with deferred
// read-back the last four. Valid until the window holds four newer ones.
PLATFORM_HOOK const unsigned char* platformPresentedImage(HWND window, int present, int* width,
                                                          int* height);
PLATFORM_HOOK int platformPresentCount(HWND window);
PLATFORM_HOOK void platformSetPresentListener(PlatformPresentListener listener, void* user);

PLATFORM_HOOK bool platformDisplayAvailable();
// On by default. Takes effect for windows shown after the call.
PLATFORM_HOOK void platformUseDisplay(bool on);
// Native windows may be resized by the user: the program's window keeps its
// client size, and its picture is scaled to fit the native window, keeping
// its shape, centred on black; mouse positions are mapped back, so the
// program sees its own client pixels.
// The size of the native windows shown after the call, in whole multiples of
// their client size (1 to 8; 1 by default).
PLATFORM_HOOK void platformSetDisplayZoom(int zoom);
// How windows shown after the call scale their picture: smoothly (bilinear,
// the default) or each pixel a block (nearest).
PLATFORM_HOOK void platformSetDisplayScaling(bool smooth);
// Whether windows shown after the call open filling the screen (off by default).
PLATFORM_HOOK void platformOpenFullScreen(bool on);
// Asks the window manager to make the window fill the screen, or to give it
// back its size (without one, does so itself). False when the window is not
// on the desktop.
PLATFORM_HOOK bool platformSetFullScreen(HWND window, bool on);
// Full screen as last asked for, or as the window manager last said.
PLATFORM_HOOK bool platformIsFullScreen(HWND window);
// 0 while the window has no native window (hidden so far, or no display).
PLATFORM_HOOK unsigned long platformNativeWindow(HWND window);

PLATFORM_HOOK int platformLiveWindowCount();
PLATFORM_HOOK int platformRegisteredClassCount();
PLATFORM_HOOK int platformLiveContextCount();
PLATFORM_HOOK int platformLiveDCCount();
PLATFORM_HOOK int platformLivePaletteCount();

// dlerror()'s text for the last LoadLibraryA that failed, empty if none did.
PLATFORM_HOOK std::string platformLastLoadError();

// Destroys every window and rendering context, unregisters every class,
// deletes palettes and device contexts, empties the message queues and the
// message-box record, and clears every hook.
PLATFORM_HOOK void platformReset();
