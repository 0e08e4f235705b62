#include "session/message_pump.h"

std::vector<WPARAM> pumpLiveMessages(HWND host, HWND pluginWindow, LiveTrace& trace) {
    std::vector<WPARAM> keys;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        // The quit message the plug-in's window posts as it goes is no order
        // to the host: the window's absence ends the run instead.
        if (message.message == WM_QUIT) continue;
        bool toHost = message.hwnd && message.hwnd == host;
        if (toHost || (message.hwnd && message.hwnd == pluginWindow))
            trace.message(toHost ? "host" : "plug-in", message);
        TranslateMessage(&message);
        DispatchMessageA(&message);
        if (toHost && message.message == WM_KEYUP) keys.push_back(message.wParam);
    }
    return keys;
}
