// The desktop of a web page: the shown top-level window is the page's canvas.
// The DOM's key and mouse events on it become the messages Windows would
// post (DOM key codes are Windows' virtual-key codes), clicks in the
// window's client pixels however large the page draws the canvas.
#include "display.h"
#include "web_canvas.h"

#include <emscripten/html5.h>

namespace zdp {
namespace {

HWND shownWindow = nullptr;
bool listening = false;

LPARAM keyData(bool wasDown, bool release) {
    uint32_t data = 1;
    if (wasDown) data |= 1u << 30;
    if (release) data |= 1u << 31;
    return LPARAM(data);
}

// Keys the browser would act on itself (scrolling, find) go to the window
// alone; those with Ctrl, Alt or Meta, and F5, F11 and F12, stay the browser's.
bool browserKeepsKey(const EmscriptenKeyboardEvent& event) {
    const unsigned long key = event.keyCode;
    return event.ctrlKey || event.altKey || event.metaKey || key == VK_F5 || key == VK_F11 ||
           key == VK_F12;
}

EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* event, void*) {
    if (!shownWindow || !event->keyCode || browserKeepsKey(*event)) return EM_FALSE;
    const bool release = type == EMSCRIPTEN_EVENT_KEYUP;
    PostMessageA(shownWindow, release ? WM_KEYUP : WM_KEYDOWN, WPARAM(event->keyCode),
                 keyData(release || event->repeat, release));
    return EM_TRUE;
}

// The canvas may be drawn larger than its pixels (full window): positions
// are scaled back to the window's own client pixels.
LPARAM clientPoint(const EmscriptenMouseEvent& event) {
    int width = 0, height = 0;
    double cssWidth = 0, cssHeight = 0;
    emscripten_get_canvas_element_size(webCanvasSelector, &width, &height);
    emscripten_get_element_css_size(webCanvasSelector, &cssWidth, &cssHeight);
    const int x = cssWidth > 0 ? int(event.targetX * width / cssWidth) : int(event.targetX);
    const int y = cssHeight > 0 ? int(event.targetY * height / cssHeight) : int(event.targetY);
    return LPARAM(uint32_t(uint16_t(y)) << 16 | uint16_t(x));
}

EM_BOOL onMouse(int type, const EmscriptenMouseEvent* event, void*) {
    if (!shownWindow || event->button != 0) return EM_FALSE;
    const bool down = type == EMSCRIPTEN_EVENT_MOUSEDOWN;
    PostMessageA(shownWindow, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down ? MK_LBUTTON : 0,
                 clientPoint(*event));
    return EM_TRUE;
}

void listen() {
    if (listening) return;
    listening = true;
    const char* document = EMSCRIPTEN_EVENT_TARGET_DOCUMENT;
    emscripten_set_keydown_callback(document, nullptr, EM_TRUE, onKey);
    emscripten_set_keyup_callback(document, nullptr, EM_TRUE, onKey);
    emscripten_set_mousedown_callback(webCanvasSelector, nullptr, EM_TRUE, onMouse);
    emscripten_set_mouseup_callback(webCanvasSelector, nullptr, EM_TRUE, onMouse);
}

} // namespace

bool displayConnected() {
    return true;
}

void displayUse(bool) {}
void displaySetZoom(int) {}
// The page scales its canvas itself (CSS) and owns its full-window button.
void displaySetSmoothScaling(bool) {}
void displayOpenFullScreen(bool) {}

bool displaySetFullScreen(HWND, bool) {
    return false;
}

bool displayFullScreen(HWND) {
    return false;
}

bool displayShowsWindows() {
    return shownWindow != nullptr;
}

void displayShowWindow(HWND handle, const Window& window) {
    if (window.parent) return;
    shownWindow = handle;
    listen();
}

void displayHideWindow(HWND handle) {
    if (handle == shownWindow) shownWindow = nullptr;
}

void displayDestroyWindow(HWND handle) {
    displayHideWindow(handle);
}

void displaySetTitle(HWND, const std::string&) {}
void displayPresent(HWND, const Window&) {}

unsigned long displayNativeWindow(HWND) {
    return 0;
}

void displayPumpEvents() {}

} // namespace zdp
