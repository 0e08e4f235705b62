#include "session/message_pump.h"

#include "session/live_display.h"

namespace {
constexpr LPARAM previouslyDown = LPARAM(1) << 30;

void setFullScreen(HWND window, bool on, LiveTrace& trace) {
    setLiveWindowFullScreen(window, on);
    trace.line("window full screen %s", on ? "on" : "off");
}

// Whether the message was one of the program's own keys, handled here.
bool takeWindowKey(const MSG& message, LiveTrace& trace, std::vector<WPARAM>& keys) {
    bool down = message.message == WM_KEYDOWN, up = message.message == WM_KEYUP;
    WPARAM key = message.wParam;
    if ((!down && !up) || (key != VK_F11 && key != VK_ESCAPE)) return false;
    bool fullScreen = liveWindowFullScreen(message.hwnd);
    if (key == VK_F11 && down && !(message.lParam & previouslyDown))
        setFullScreen(message.hwnd, !fullScreen, trace);
    if (key == VK_ESCAPE && up && fullScreen) setFullScreen(message.hwnd, false, trace);
    if (key == VK_ESCAPE && up && !fullScreen) keys.push_back(VK_ESCAPE);
    return true;
}
} // namespace

std::vector<WPARAM> pumpLiveMessages(HWND host, HWND pluginWindow, LiveTrace& trace) {
    std::vector<WPARAM> keys;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        // The quit message the plug-in's window posts as it goes is no order
        // to the host: the window's absence ends the run instead.
        if (message.message == WM_QUIT) continue;
        bool toHost = message.hwnd && message.hwnd == host;
        bool toPlugin = message.hwnd && message.hwnd == pluginWindow;
        if (toPlugin && takeWindowKey(message, trace, keys)) continue;
        if (toHost || toPlugin) trace.message(toHost ? "host" : "plug-in", message);
        TranslateMessage(&message);
        DispatchMessageA(&message);
        if (toHost && message.message == WM_KEYUP) keys.push_back(message.wParam);
    }
    return keys;
}
