#include "test_host.h"

#include "shell/vis_module.h"

namespace {
const char* const hostClassName = "ZephyrdomeTestHost";
TestHost* activeHost = nullptr;
} // namespace

TestHost::TestHost() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = hostClassName;
    RegisterClassExA(&windowClass);
    activeHost = this;
    window_ = CreateWindowExA(0, hostClassName, "Test host", WS_POPUP, 0, 0, 200, 100, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
}

TestHost::~TestHost() {
    DestroyWindow(window_);
    pumpMessages();
    UnregisterClassA(hostClassName, GetModuleHandleA(nullptr));
    activeHost = nullptr;
}

int TestHost::countOf(UINT message, std::optional<LPARAM> lParam) const {
    int count = 0;
    for (const RecordedMessage& m : messages)
        if (m.message == message && (!lParam || m.lParam == *lParam)) ++count;
    return count;
}

std::vector<RecordedMessage> TestHost::only(UINT message) const {
    std::vector<RecordedMessage> result;
    for (const RecordedMessage& m : messages)
        if (m.message == message) result.push_back(m);
    return result;
}

void TestHost::pumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ++quitCount;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

LRESULT CALLBACK TestHost::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (activeHost && (activeHost->window_ == window || activeHost->window_ == nullptr))
        return activeHost->answer(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// Inside CreateWindowEx window_ is still null: the default processing needs
// the real handle, or Windows fails the creation.
LRESULT TestHost::answer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    messages.push_back({message, wParam, lParam});
    if (message == WM_USER) {
        if (whileAnswering) whileAnswering(lParam);
        switch (lParam) {
        case hostGetPlaylistPosition:
            return position;
        case hostGetPlaylistLength:
            return reportedLength ? *reportedLength : static_cast<int>(playlist.size());
        case hostGetPlaylistFile:
            if (wParam < playlist.size() && playlist[wParam])
                return reinterpret_cast<LRESULT>(playlist[wParam]->c_str());
            return 0;
        case hostSetPlaylistPosition:
            position = static_cast<int>(wParam);
            return 0;
        }
        return 0;
    }
    if (message == WM_COMMAND && wParam == hostPlayCommand) {
        ++playCount;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
