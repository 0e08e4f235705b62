#include "session/input_script_player.h"

InputScriptPlayer::InputScriptPlayer(std::vector<InputEvent> events) : events_(std::move(events)) {
    sortInputEvents(events_);
}

UINT windowMessageFor(InputKind kind) {
    switch (kind) {
    case InputKind::keyDown:
        return WM_KEYDOWN;
    case InputKind::keyUp:
        return WM_KEYUP;
    case InputKind::buttonDown:
        return WM_LBUTTONDOWN;
    case InputKind::buttonUp:
        return WM_LBUTTONUP;
    }
    return WM_NULL;
}

int InputScriptPlayer::postDue(long long timeMs, HWND window) {
    int posted = 0;
    for (; next_ < events_.size() && events_[next_].timeMs <= timeMs; ++next_, ++posted) {
        const InputEvent& event = events_[next_];
        PostMessageA(window, windowMessageFor(event.kind), event.wParam,
                     static_cast<LPARAM>(event.lParam));
    }
    return posted;
}

bool dispatchPendingMessages(HWND paintedByDefault) {
    bool quit = false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            continue;
        }
        if (paintedByDefault && message.message == WM_PAINT && message.hwnd == paintedByDefault) {
            DefWindowProcA(paintedByDefault, WM_PAINT, 0, 0);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return quit;
}

bool messagesWaiting() {
    MSG message;
    return PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
}
