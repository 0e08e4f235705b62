#include "platform_test.h"

#include <thread>

namespace {

using WindowDestruction = PlatformTest;

std::vector<std::pair<HWND, UINT>> destructionMessages() {
    std::vector<std::pair<HWND, UINT>> result;
    for (const LoggedMessage& entry : messageLog())
        if (entry.message == WM_DESTROY || entry.message == WM_NCDESTROY)
            result.emplace_back(entry.window, entry.message);
    return result;
}

TEST_F(WindowDestruction, sends_wm_destroy_then_wm_ncdestroy_then_the_handle_is_gone) {
    HWND window = createToolWindow(WS_VISIBLE | WS_SYSMENU);
    messageLog().clear();
    EXPECT_TRUE(DestroyWindow(window));
    std::vector<UINT> expected = {WM_DESTROY, WM_NCDESTROY};
    EXPECT_EQ(loggedMessages(window), expected);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(platformLiveWindowCount(), 0);
}

TEST_F(WindowDestruction, the_handle_is_still_valid_during_wm_destroy) {
    static bool validDuringDestroy = false;
    static char titleDuringDestroy[16];
    auto procedure = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_DESTROY) {
            validDuringDestroy = IsWindow(window);
            GetWindowTextA(window, titleDuringDestroy, sizeof titleDuringDestroy);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    };
    HWND subject = createToolWindow();
    SetWindowLongPtrA(subject, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+procedure));
    DestroyWindow(subject);
    EXPECT_TRUE(validDuringDestroy);
    EXPECT_STREQ(titleDuringDestroy, "Tool");
}

TEST_F(WindowDestruction, owned_windows_are_destroyed_before_their_owner) {
    HWND host = createWindow(0, WS_OVERLAPPEDWINDOW);
    HWND tool = createToolWindow(WS_SYSMENU, host);
    messageLog().clear();
    DestroyWindow(host);
    std::vector<std::pair<HWND, UINT>> expected = {
        {tool, WM_DESTROY}, {tool, WM_NCDESTROY}, {host, WM_DESTROY}, {host, WM_NCDESTROY}};
    EXPECT_EQ(destructionMessages(), expected);
    EXPECT_FALSE(IsWindow(tool));
}

TEST_F(WindowDestruction, children_get_wm_destroy_after_and_wm_ncdestroy_before_their_parent) {
    HWND parent = createToolWindow();
    HWND child = createWindow(0, WS_CHILD | WS_VISIBLE, parent);
    messageLog().clear();
    DestroyWindow(parent);
    std::vector<std::pair<HWND, UINT>> expected = {
        {parent, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
    EXPECT_EQ(destructionMessages(), expected);
}

TEST_F(WindowDestruction, default_processing_of_wm_close_destroys_the_window) {
    HWND window = createToolWindow();
    messageLog().clear();
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    std::vector<UINT> expected = {WM_CLOSE, WM_DESTROY, WM_NCDESTROY};
    EXPECT_EQ(loggedMessages(window), expected);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowDestruction, a_handled_wm_close_keeps_the_window) {
    HWND window = createToolWindow();
    cannedResults()[WM_CLOSE] = 0;
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(WindowDestruction, destroying_inside_wm_destroy_changes_nothing) {
    auto procedure = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_DESTROY) {
            messageLog().push_back({window, message, wParam, lParam});
            DestroyWindow(window);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    };
    HWND window = createToolWindow();
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+procedure));
    messageLog().clear();
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(messageLog().size(), 1u);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowDestruction, a_quit_posted_from_wm_destroy_reaches_the_message_loop) {
    auto procedure = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcA(window, message, wParam, lParam);
    };
    HWND window = createToolWindow(WS_VISIBLE | WS_SYSMENU);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+procedure));
    PostMessageA(window, WM_CLOSE, 0, 0);
    MSG message{};
    int dispatched = 0;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        DispatchMessageA(&message);
        ++dispatched;
    }
    EXPECT_EQ(message.message, UINT(WM_QUIT));
    EXPECT_EQ(dispatched, 1); // WM_CLOSE; the pending paint died with the window
    EXPECT_FALSE(IsWindow(window));
}

// As Windows and Wine do: only the window's own thread may destroy it, and
// when a thread ends its windows go without their procedures being called.
TEST_F(WindowDestruction, belongs_to_its_thread_which_alone_destroys_it_and_takes_it_along) {
    HWND mine = createToolWindow();
    HWND theirs = nullptr;
    BOOL destroyed = TRUE;
    DWORD error = 0;
    std::thread other([&] {
        destroyed = DestroyWindow(mine);
        error = GetLastError();
        theirs = createToolWindow();
        PostQuitMessage(0);
    });
    other.join();
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(error, DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(IsWindow(mine));
    EXPECT_FALSE(IsWindow(theirs)) << "the thread ended";
    EXPECT_TRUE(destructionMessages().empty());
    SetLastError(0);
    EXPECT_EQ(SendMessageA(theirs, WM_USER, 0, 0), 0) << "a send to it fails at once";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    // A later thread, whatever number it gets, starts with an empty queue.
    BOOL found = TRUE;
    std::thread later([&found] {
        MSG message;
        found = PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
    });
    later.join();
    EXPECT_FALSE(found);
}

} // namespace
