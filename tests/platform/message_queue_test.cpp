#include "platform_test.h"

#include <chrono>
#include <future>
#include <thread>

namespace {

using MessageQueue = PlatformTest;

constexpr UINT probe = WM_USER + 7;

TEST_F(MessageQueue, sent_messages_reach_the_procedure_at_once_and_return_its_result) {
    HWND window = createToolWindow();
    cannedResults()[probe] = 1234;
    messageLog().clear();
    EXPECT_EQ(SendMessageA(window, probe, 5, 6), 1234);
    ASSERT_EQ(messageLog().size(), 1u);
    EXPECT_EQ(messageLog()[0].wParam, WPARAM(5));
    EXPECT_EQ(messageLog()[0].lParam, LPARAM(6));
}

TEST_F(MessageQueue, posted_messages_wait_for_dispatch_in_order) {
    HWND window = createToolWindow();
    messageLog().clear();
    EXPECT_TRUE(PostMessageA(window, probe, 1, 0));
    EXPECT_TRUE(PostMessageA(window, probe, 2, 0));
    EXPECT_TRUE(messageLog().empty());
    MSG message{};
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.hwnd, window);
    EXPECT_EQ(message.wParam, WPARAM(1));
    DispatchMessageA(&message);
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.wParam, WPARAM(2));
    DispatchMessageA(&message);
    ASSERT_EQ(messageLog().size(), 2u);
    EXPECT_EQ(messageLog()[1].wParam, WPARAM(2));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueue, a_null_window_posts_a_thread_message) {
    EXPECT_TRUE(PostMessageA(nullptr, probe, 9, 0));
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.hwnd, nullptr);
    EXPECT_EQ(message.message, probe);
    EXPECT_EQ(DispatchMessageA(&message), 0);
}

TEST_F(MessageQueue, peek_without_remove_leaves_the_message_queued) {
    PostMessageA(nullptr, probe, 0, 0);
    MSG message{};
    EXPECT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueue, window_and_range_filters_pick_matching_messages_out_of_order) {
    HWND first = createToolWindow();
    HWND second = createToolWindow();
    PostMessageA(first, probe, 1, 0);
    PostMessageA(second, probe, 2, 0);
    PostMessageA(first, WM_KEYDOWN, VK_LEFT, 0);
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, second, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.wParam, WPARAM(2));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_KEYDOWN));
    EXPECT_FALSE(PeekMessageA(&message, second, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&message, reinterpret_cast<HWND>(-1), 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&message, first, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.wParam, WPARAM(1));
}

TEST_F(MessageQueue, wm_quit_ends_get_message_after_the_posted_messages) {
    PostMessageA(nullptr, probe, 0, 0);
    PostQuitMessage(3);
    MSG message{};
    EXPECT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, probe);
    EXPECT_FALSE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, UINT(WM_QUIT));
    EXPECT_EQ(message.wParam, WPARAM(3));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueue, peek_message_returns_wm_quit_too_whatever_the_filter) {
    PostQuitMessage(0);
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
    EXPECT_EQ(message.message, UINT(WM_QUIT));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueue, a_visible_window_starts_invalid_and_update_window_paints_it_at_once) {
    HWND window = createToolWindow(WS_VISIBLE | WS_SYSMENU);
    messageLog().clear();
    EXPECT_TRUE(UpdateWindow(window));
    std::vector<UINT> expected = {WM_PAINT};
    EXPECT_EQ(loggedMessages(window), expected);
    messageLog().clear();
    UpdateWindow(window); // default processing validated it
    EXPECT_TRUE(messageLog().empty());
}

TEST_F(MessageQueue, wm_paint_is_synthesised_only_when_nothing_is_posted) {
    HWND window = createToolWindow(WS_VISIBLE | WS_SYSMENU);
    PostMessageA(window, probe, 0, 0);
    MSG message{};
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, probe);
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, UINT(WM_PAINT));
    EXPECT_EQ(message.hwnd, window);
    // Taking WM_PAINT does not validate; only painting does.
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_PAINT));
    DispatchMessageA(&message);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueue, hidden_windows_get_no_paint_until_shown) {
    HWND window = createToolWindow();
    InvalidateRect(window, nullptr, FALSE);
    MSG message{};
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_FALSE(ShowWindow(window, SW_SHOWNORMAL));
    EXPECT_TRUE(IsWindowVisible(window));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.message, UINT(WM_PAINT));
}

TEST_F(MessageQueue, validate_rect_stops_the_paint_and_invalidate_rect_brings_it_back) {
    HWND window = createToolWindow(WS_VISIBLE | WS_SYSMENU);
    EXPECT_TRUE(ValidateRect(window, nullptr));
    MSG message{};
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    RECT corner = {0, 0, 10, 10};
    EXPECT_TRUE(InvalidateRect(window, &corner, FALSE));
    EXPECT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    RECT elsewhere = {100, 100, 110, 110};
    ValidateRect(window, &elsewhere);
    EXPECT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    ValidateRect(window, &corner);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(MessageQueue, translate_message_posts_the_character_of_a_key_press_next) {
    HWND window = createToolWindow();
    PostMessageA(window, WM_KEYDOWN, 'A', 1);
    PostMessageA(window, WM_KEYUP, 'A', 1);
    MSG message{};
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_TRUE(TranslateMessage(&message));
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, UINT(WM_CHAR));
    EXPECT_EQ(message.wParam, WPARAM('a'));
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, UINT(WM_KEYUP));
}

TEST_F(MessageQueue, messages_for_a_destroyed_window_are_dropped) {
    HWND window = createToolWindow();
    PostMessageA(window, probe, 0, 0);
    DestroyWindow(window);
    MSG message{};
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueue, a_message_posted_from_another_thread_wakes_the_windows_thread) {
    HWND window = createToolWindow();
    std::thread poster([window] { PostMessageA(window, probe, 77, 0); });
    MSG message{};
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    poster.join();
    EXPECT_EQ(message.hwnd, window);
    EXPECT_EQ(message.wParam, WPARAM(77));
}

// Where the procedure ran: a send from another thread must run it on the
// window's own thread, as Windows does.
std::thread::id procedureThread;

LRESULT CALLBACK threadRecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == probe) procedureThread = std::this_thread::get_id();
    return recordingProc(window, message, wParam, lParam);
}

TEST_F(MessageQueue, a_message_sent_from_another_thread_runs_on_the_windows_thread_and_waits) {
    HWND window = createToolWindow();
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(threadRecordingProc));
    cannedResults()[probe] = 4321;
    LRESULT answer = 0;
    std::thread sender([&] {
        answer = SendMessageA(window, probe, 3, 4);
        PostMessageA(window, WM_USER + 8, 0, 0);
    });
    MSG message{};
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    sender.join();
    EXPECT_EQ(message.message, UINT(WM_USER + 8)) << "the sent message is answered, not returned";
    EXPECT_EQ(answer, 4321);
    EXPECT_EQ(procedureThread, std::this_thread::get_id());
    EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());
}

TEST_F(MessageQueue, send_message_timeout_gives_up_on_a_thread_that_does_not_look_at_its_queue) {
    HWND window = createToolWindow();
    messageLog().clear();
    BOOL sent = TRUE;
    DWORD error = 0;
    std::thread sender([&] {
        DWORD_PTR result = 99;
        sent = BOOL(SendMessageTimeoutA(window, probe, 0, 0, SMTO_ABORTIFHUNG, 20, &result));
        error = GetLastError();
    });
    sender.join();
    EXPECT_FALSE(sent);
    EXPECT_EQ(error, DWORD(ERROR_TIMEOUT));
    MSG message{};
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(loggedMessages(window).empty()) << "a message given up on is never delivered";
}

TEST_F(MessageQueue, send_message_timeout_on_the_windows_own_thread_calls_the_procedure_at_once) {
    HWND window = createToolWindow();
    cannedResults()[probe] = 55;
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(window, probe, 0, 0, SMTO_ABORTIFHUNG, 1, &result));
    EXPECT_EQ(result, DWORD_PTR(55));
}

// SMTO_ABORTIFHUNG as Wine judges it: a thread is hung when it has not looked
// at its queue for five seconds, counted from its last look or from the
// queue's making, not from the process's start. A sender that finds it hung
// gives up at once; one that does not waits for the answer.
TEST_F(MessageQueue, abort_if_hung_gives_up_at_once_only_on_a_thread_five_seconds_without_a_look) {
    constexpr UINT longTimeoutMs = 600000;
    HWND window = createToolWindow();
    messageLog().clear();
    std::this_thread::sleep_for(std::chrono::milliseconds(5200));
    BOOL sent = TRUE;
    DWORD error = 0;
    std::promise<void> gaveUp;
    std::thread hungSender([&] {
        DWORD_PTR result = 0;
        sent = BOOL(
            SendMessageTimeoutA(window, probe, 0, 0, SMTO_ABORTIFHUNG, longTimeoutMs, &result));
        error = GetLastError();
        gaveUp.set_value();
    });
    // Only a sender that waits for an answer needs this thread to look.
    MSG message{};
    if (gaveUp.get_future().wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        ADD_FAILURE() << "the sender waited: a thread five seconds without a look was not hung";
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    }
    hungSender.join();
    EXPECT_FALSE(sent);
    EXPECT_EQ(error, DWORD(ERROR_TIMEOUT));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(loggedMessages(window).empty()) << "a message given up on is never delivered";

    // A thread that makes its first window now, in a process older than five
    // seconds, answers once it looks.
    std::promise<HWND> made;
    std::promise<void> look;
    std::thread answerer([&] {
        made.set_value(createToolWindow());
        look.get_future().wait();
        MSG next;
        GetMessageA(&next, nullptr, 0, 0);
    });
    HWND fresh = made.get_future().get();
    cannedResults()[probe] = 31;
    DWORD_PTR answer = 0;
    std::thread sender([&] {
        sent =
            BOOL(SendMessageTimeoutA(fresh, probe, 0, 0, SMTO_ABORTIFHUNG, longTimeoutMs, &answer));
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    look.set_value();
    sender.join();
    PostMessageA(fresh, probe + 1, 0, 0);
    answerer.join();
    EXPECT_TRUE(sent);
    EXPECT_EQ(answer, DWORD_PTR(31));
}

TEST_F(MessageQueue, get_message_with_a_bogus_window_filter_returns_minus_one) {
    MSG message{};
    EXPECT_EQ(GetMessageA(&message, reinterpret_cast<HWND>(0x4242), 0, 0), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

} // namespace
