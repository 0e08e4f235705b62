#include "platform_test.h"

std::vector<LoggedMessage>& messageLog() {
    static std::vector<LoggedMessage> log;
    return log;
}

std::map<UINT, LRESULT>& cannedResults() {
    static std::map<UINT, LRESULT> results;
    return results;
}

std::vector<UINT> loggedMessages(HWND window) {
    std::vector<UINT> messages;
    for (const LoggedMessage& entry : messageLog())
        if (entry.window == window) messages.push_back(entry.message);
    return messages;
}

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    messageLog().push_back({window, message, wParam, lParam});
    auto canned = cannedResults().find(message);
    if (canned != cannedResults().end()) return canned->second;
    return DefWindowProcA(window, message, wParam, lParam);
}

HINSTANCE testInstance() {
    return GetModuleHandleA(nullptr);
}

void PlatformTest::SetUp() {
    platformReset();
    messageLog().clear();
    cannedResults().clear();
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_SAVEBITS;
    windowClass.lpfnWndProc = recordingProc;
    windowClass.hInstance = testInstance();
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = testClassName;
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
}

void PlatformTest::TearDown() {
    platformReset();
    messageLog().clear();
    cannedResults().clear();
}

HWND PlatformTest::createToolWindow(DWORD style, HWND owner) {
    return CreateWindowExA(WS_EX_APPWINDOW | WS_EX_TOOLWINDOW, testClassName, "Tool", style, 100,
                           100, 640, 480, owner, nullptr, testInstance(), nullptr);
}

HWND PlatformTest::createWindow(DWORD exStyle, DWORD style, HWND parent) {
    return CreateWindowExA(exStyle, testClassName, "Window", style, 10, 20, 300, 200, parent,
                           nullptr, testInstance(), nullptr);
}
