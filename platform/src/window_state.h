// Window classes and windows as the subset keeps them, shared by the files
// that implement user32 and by the GDI and WGL files that draw into windows.
#pragma once

#include "handles.h"

#include <windows.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace zdp {

struct PresentQueue;

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    HINSTANCE instance = nullptr;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    int windowExtraBytes = 0;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    int windowCount = 0;
};

struct Window {
    WindowClass* windowClass = nullptr;
    std::string title;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr; // for WS_CHILD windows
    HWND owner = nullptr;  // for top-level windows
    // Outer rectangle, in the parent's client coordinates (screen for top-level windows).
    RECT rect{};
    HINSTANCE instance = nullptr;
    HMENU menu = nullptr;
    WNDPROC procedure = nullptr;
    LONG_PTR userData = 0;
    std::vector<unsigned char> extraBytes;
    std::thread::id thread;
    DWORD threadId = 0; // what GetWindowThreadProcessId reports
    bool visible = false;
    bool destroying = false;
    bool needsPaint = false;
    RECT updateRect{};
    int pixelFormat = 0; // 0 until SetPixelFormat
    PIXELFORMATDESCRIPTOR pixelFormatDescription{};
    // What the last SwapBuffers presented: top-down RGBA8 rows.
    std::vector<unsigned char> image;
    int imageWidth = 0;
    int imageHeight = 0;
    int presentCount = 0;
    int imagePresent = 0; // which presentation `image` holds
    // Presentations whose read-back waits until asked for (deferred_present.h).
    std::shared_ptr<PresentQueue> presents;
};

// Frame thickness on each side of the client area.
struct FrameMetrics {
    int left;
    int top;
    int right;
    int bottom;
};

HandleTable<Window>& windowTable();
Window* findWindow(HWND window);
// As findWindow, and sets ERROR_INVALID_WINDOW_HANDLE when there is none.
Window* checkWindow(HWND window);

WindowClass* findClass(LPCSTR className, HINSTANCE instance);
void unregisterAllClasses();
int registeredClassCount();

FrameMetrics frameMetricsFor(DWORD style, DWORD exStyle);
RECT clientRectOf(const Window& window);
POINT clientOriginOnScreen(HWND window);

// Calls the window's procedure without holding the state lock.
LRESULT callProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Window destruction releases what other subsystems hold for the window.
void discardWindowMessages(HWND window);
void releaseWindowDeviceContexts(HWND window);
void releaseWindowSurface(HWND window);
void destroyAllWindowsQuietly();
// When a thread ends: its windows go without their procedures being called.
void destroyThreadWindowsQuietly(std::thread::id thread);
// A window's thread has a queue from the window's creation on.
void makeThreadQueue();

// Painting state, used by the message queue to synthesise WM_PAINT.
HWND findWindowToPaint(std::thread::id thread, HWND filter);
// Whether a message for `window` passes GetMessage's window filter: NULL takes
// everything, (HWND)-1 only thread messages, a window itself and its children.
bool passesWindowFilter(HWND window, HWND filter);
void wakeMessageWaiters();

void setError(DWORD error);

} // namespace zdp
