// Start, frames and stop as a host drives them, again and again.
#include "check.h"
#include "dll_host.h"

namespace {

bool classRegistered(HMODULE library) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    return GetClassInfoExA(library, "Zephyrdome X", &windowClass) != 0;
}

} // namespace

ZD_TEST(lifecycle, StartFramesAndStopLeaveNothingBehind) {
    DllHost host;
    ZD_REQUIRE(host.start() == 0);
    HWND window = host.renderWindow();
    ZD_REQUIRE(window != nullptr);
    ZD_CHECK(classRegistered(host.library));
    host.messages.clear();
    for (int i = 0; i < 3; ++i)
        ZD_CHECK_EQ(host.frame(), 0);
    ZD_CHECK_EQ(host.countOf(WM_USER, hostGetPlaylistPosition), 3);
    host.stop();
    ZD_CHECK(!IsWindow(window));
    ZD_CHECK(!classRegistered(host.library));
    ZD_CHECK(wglGetCurrentContext() == nullptr);
}

ZD_TEST(lifecycle, FiftyStartsAndStopsLeaveNoWindowClassOrContext) {
    DllHost host;
    for (int cycle = 0; cycle < 50; ++cycle) {
        ZD_REQUIRE(host.start() == 0);
        HWND window = host.renderWindow();
        HGLRC context = wglGetCurrentContext();
        ZD_REQUIRE(window != nullptr && context != nullptr);
        ZD_CHECK_EQ(host.frame(), 0);
        host.stop();
        ZD_REQUIRE(!IsWindow(window));
        ZD_REQUIRE(!classRegistered(host.library));
        ZD_REQUIRE(wglGetCurrentContext() == nullptr);
        // Still alive, the context would be deleted here.
        ZD_REQUIRE(!wglDeleteContext(context));
    }
    ZD_CHECK_EQ(host.quitCount, 50);
}

ZD_TEST(lifecycle, RenderingAfterStopOrTheCloseBoxIsHarmless) {
    DllHost host;
    ZD_REQUIRE(host.start() == 0);
    host.stop();
    host.messages.clear();
    ZD_CHECK_EQ(host.frame(), 0);
    ZD_CHECK(host.messages.empty());
    host.stop();

    ZD_REQUIRE(host.start() == 0);
    HWND closed = host.renderWindow();
    SendMessageA(closed, WM_CLOSE, 0, 0);
    host.pumpMessages();
    ZD_CHECK(!IsWindow(closed));
    ZD_CHECK_EQ(host.frame(), 0);
    host.stop();
    ZD_CHECK_EQ(host.start(), 0);
}

ZD_TEST(lifecycle, ASecondStartOpensAt100By100Again) {
    DllHost host;
    ZD_REQUIRE(host.start() == 0);
    SetWindowPos(host.renderWindow(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    host.pumpMessages();
    RECT moved;
    GetWindowRect(host.renderWindow(), &moved);
    ZD_CHECK_EQ(moved.left, 300);
    host.stop();
    ZD_REQUIRE(host.start() == 0);
    RECT outer;
    GetWindowRect(host.renderWindow(), &outer);
    ZD_CHECK_EQ(outer.left, 100);
    ZD_CHECK_EQ(outer.top, 100);
}
