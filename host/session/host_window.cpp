#include "session/host_window.h"

#include "shell/vis_module.h"

namespace {
const char* const hostClassName = "ZephyrdomeHost";
HostWindow* theHostWindow = nullptr;
} // namespace

HostWindow::~HostWindow() {
    destroy();
}

bool HostWindow::create(Playlist& playlist, std::string& error) {
    playlist_ = &playlist;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = hostClassName;
    if (!RegisterClassExA(&windowClass)) {
        error =
            "cannot register the host window class (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    theHostWindow = this;
    window_ = CreateWindowExA(0, hostClassName, "Zephyrdome host", WS_POPUP, 0, 0, 320, 200,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window_) {
        error = "cannot create the host window (error " + std::to_string(GetLastError()) + ")";
        destroy();
        return false;
    }
    return true;
}

void HostWindow::destroy() {
    if (theHostWindow != this) return;
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
    UnregisterClassA(hostClassName, GetModuleHandleA(nullptr));
    theHostWindow = nullptr;
}

LRESULT CALLBACK HostWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HostWindow* host = theHostWindow;
    if (!host) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_USER:
        return host->answerUser(window, wParam, lParam);
    case WM_COMMAND:
        return host->answerCommand(window, wParam, lParam);
    case WM_KEYUP:
        ++host->keyReleases_;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT HostWindow::answerUser(HWND window, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    LRESULT result = playlist_->answerUserMessage(wParam, lParam, handled);
    return handled ? result : DefWindowProcA(window, WM_USER, wParam, lParam);
}

LRESULT HostWindow::answerCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    if (wParam != hostPlayCommand) return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
    ++playCommands_;
    playlist_->play();
    return 0;
}
