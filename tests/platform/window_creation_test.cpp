#include "platform_test.h"

namespace {

using WindowCreation = PlatformTest;

const LoggedMessage* firstLogged(HWND window, UINT message) {
    for (const LoggedMessage& entry : messageLog())
        if (entry.window == window && entry.message == message) return &entry;
    return nullptr;
}

TEST_F(WindowCreation, sends_nccreate_create_size_move_then_shows_a_visible_window) {
    HWND window = createToolWindow(WS_VISIBLE | WS_SYSMENU);
    ASSERT_NE(window, nullptr);
    std::vector<UINT> expected = {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW};
    EXPECT_EQ(loggedMessages(window), expected);
}

TEST_F(WindowCreation, a_640_by_480_tool_window_has_a_634_by_458_client_area) {
    HWND window = createToolWindow(WS_VISIBLE | WS_SYSMENU);
    const LoggedMessage* size = firstLogged(window, WM_SIZE);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->wParam, WPARAM(SIZE_RESTORED));
    EXPECT_EQ(LOWORD(size->lParam), 634);
    EXPECT_EQ(HIWORD(size->lParam), 458);
    RECT client{}, outer{};
    EXPECT_TRUE(GetClientRect(window, &client));
    EXPECT_TRUE(GetWindowRect(window, &outer));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 634);
    EXPECT_EQ(client.bottom, 458);
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.top, 100);
    EXPECT_EQ(outer.right, 740);
    EXPECT_EQ(outer.bottom, 580);
}

TEST_F(WindowCreation, wm_move_gives_the_client_origin_on_the_screen) {
    HWND window = createToolWindow();
    const LoggedMessage* move = firstLogged(window, WM_MOVE);
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(LOWORD(move->lParam), 103);
    EXPECT_EQ(HIWORD(move->lParam), 119);
}

TEST_F(WindowCreation, a_normal_caption_is_taller_than_a_tool_caption) {
    HWND window = createWindow(0, WS_OVERLAPPED | WS_SYSMENU);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 300 - 6);
    EXPECT_EQ(client.bottom, 200 - 3 - 3 - 19);
    RECT adjusted = {0, 0, 294, 175};
    AdjustWindowRectEx(&adjusted, WS_OVERLAPPED | WS_SYSMENU, FALSE, 0);
    EXPECT_EQ(adjusted.right - adjusted.left, 300);
    EXPECT_EQ(adjusted.bottom - adjusted.top, 200);
}

TEST_F(WindowCreation, child_windows_have_no_frame_and_sit_in_the_parents_client_area) {
    HWND parent = createToolWindow();
    HWND child = createWindow(0, WS_CHILD, parent);
    ASSERT_NE(child, nullptr);
    RECT client{}, outer{};
    GetClientRect(child, &client);
    GetWindowRect(child, &outer);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    EXPECT_EQ(outer.left, 103 + 10);
    EXPECT_EQ(outer.top, 119 + 20);
    EXPECT_EQ(GetWindow(child, GW_OWNER), nullptr);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), child);
}

TEST_F(WindowCreation, the_parent_of_a_top_level_window_becomes_its_owner) {
    HWND host = createWindow(0, WS_OVERLAPPEDWINDOW);
    HWND tool = createToolWindow(WS_SYSMENU, host);
    EXPECT_EQ(GetWindow(tool, GW_OWNER), host);
    EXPECT_EQ(GetWindow(host, GW_OWNER), nullptr);
}

TEST_F(WindowCreation, wm_create_sees_the_create_struct_and_the_window_rectangle) {
    static CREATESTRUCTA seen;
    static RECT clientDuringCreate;
    auto procedure = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_CREATE) {
            seen = *reinterpret_cast<CREATESTRUCTA*>(lParam);
            GetClientRect(window, &clientDuringCreate);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    };
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = testInstance();
    windowClass.lpszClassName = "Seer";
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    int marker = 7;
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "Seer", "Title", WS_SYSMENU, 100, 100, 640, 480,
                                  nullptr, nullptr, testInstance(), &marker);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(seen.lpCreateParams, &marker);
    EXPECT_EQ(seen.x, 100);
    EXPECT_EQ(seen.cx, 640);
    EXPECT_EQ(seen.cy, 480);
    EXPECT_STREQ(seen.lpszName, "Title");
    EXPECT_EQ(clientDuringCreate.right, 634);
    EXPECT_EQ(clientDuringCreate.bottom, 458);
    char title[32] = {};
    EXPECT_EQ(GetWindowTextA(window, title, sizeof title), 5);
    EXPECT_STREQ(title, "Title");
}

TEST_F(WindowCreation, a_wm_create_result_of_minus_one_destroys_the_window_and_fails) {
    cannedResults()[WM_CREATE] = -1;
    HWND window = createToolWindow(WS_VISIBLE | WS_SYSMENU);
    EXPECT_EQ(window, nullptr);
    ASSERT_GE(messageLog().size(), 4u);
    HWND failed = messageLog()[0].window;
    std::vector<UINT> expected = {WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY};
    EXPECT_EQ(loggedMessages(failed), expected);
    EXPECT_FALSE(IsWindow(failed));
    EXPECT_EQ(platformLiveWindowCount(), 0);
}

TEST_F(WindowCreation, a_false_wm_nccreate_fails_creation_before_wm_create) {
    cannedResults()[WM_NCCREATE] = FALSE;
    EXPECT_EQ(createToolWindow(), nullptr);
    for (const LoggedMessage& entry : messageLog())
        EXPECT_NE(entry.message, UINT(WM_CREATE));
    EXPECT_EQ(platformLiveWindowCount(), 0);
}

TEST_F(WindowCreation, the_default_nccreate_refuses_a_handle_that_is_no_window) {
    CREATESTRUCTA create{};
    create.lpszName = "Tool";
    SetLastError(0);
    EXPECT_EQ(DefWindowProcA(nullptr, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)), FALSE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WindowCreation, a_child_window_needs_a_parent) {
    EXPECT_EQ(createWindow(0, WS_CHILD), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_TLW_WITH_WSCHILD));
}

TEST_F(WindowCreation, user_data_holds_a_full_pointer_and_the_long_form_its_low_half) {
    HWND window = createToolWindow();
    int target = 0;
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&target)), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&target));
    EXPECT_EQ(SetWindowLongA(window, GWL_USERDATA, 42), LONG(reinterpret_cast<LONG_PTR>(&target)));
    EXPECT_EQ(GetWindowLongA(window, GWL_USERDATA), 42);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE), LONG(WS_EX_APPWINDOW | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE));
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(recordingProc));
}

TEST_F(WindowCreation, stale_and_made_up_handles_are_refused_without_crashing) {
    HWND window = createToolWindow();
    DestroyWindow(window);
    HWND bogus = reinterpret_cast<HWND>(0x12345678);
    for (HWND handle : {window, bogus}) {
        EXPECT_FALSE(IsWindow(handle));
        SetLastError(0);
        RECT rect{};
        EXPECT_FALSE(GetClientRect(handle, &rect));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
        EXPECT_EQ(SendMessageA(handle, WM_USER, 0, 0), 0);
        EXPECT_FALSE(PostMessageA(handle, WM_USER, 0, 0));
        EXPECT_FALSE(DestroyWindow(handle));
        EXPECT_EQ(GetDC(handle), nullptr);
    }
    HWND replacement = createToolWindow();
    EXPECT_NE(replacement, window);
    EXPECT_FALSE(IsWindow(window));
}

} // namespace
