// The render window as Windows itself reports it.
#include "check.h"
#include "dll_host.h"

#include <cstring>

ZD_TEST(window, AnOwnedToolWindowAt100By100With634By458ClientPixels) {
    DllHost host;
    ZD_REQUIRE(host.window() != nullptr);
    ZD_REQUIRE(host.start() == 0);
    HWND window = host.renderWindow();
    ZD_REQUIRE(window != nullptr);
    char text[64] = {};
    GetClassNameA(window, text, sizeof(text));
    ZD_CHECK(std::strcmp(text, "Zephyrdome X") == 0);
    GetWindowTextA(window, text, sizeof(text));
    ZD_CHECK(std::strcmp(text, "Zephyrdome Move") == 0);
    // An overlapped window gets a caption and clips its siblings.
    ZD_CHECK_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)),
                static_cast<DWORD>(WS_VISIBLE | WS_SYSMENU | WS_CAPTION | WS_CLIPSIBLINGS));
    ZD_CHECK_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)),
                static_cast<DWORD>(WS_EX_APPWINDOW | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE));
    ZD_CHECK_EQ(GetWindow(window, GW_OWNER), host.window());
    ZD_CHECK_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(host.module));
    ZD_CHECK_EQ(static_cast<DWORD>(GetClassLongA(window, GCL_STYLE)),
                static_cast<DWORD>(CS_SAVEBITS));
    ZD_CHECK(IsWindowVisible(window));

    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    ZD_CHECK_EQ(outer.left, 100);
    ZD_CHECK_EQ(outer.top, 100);
    ZD_CHECK_EQ(outer.right, 740);
    ZD_CHECK_EQ(outer.bottom, 580);
    ZD_CHECK_EQ(client.right, 634);
    ZD_CHECK_EQ(client.bottom, 458);
}
