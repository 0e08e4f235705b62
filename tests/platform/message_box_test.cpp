#include "platform_test.h"

namespace {

using MessageBoxes = PlatformTest;

TEST_F(MessageBoxes, are_recorded_with_owner_text_caption_and_type_and_answered_ok) {
    HWND owner = createToolWindow();
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(owner, "Error creating window", "Error", MB_OK), IDOK);
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, "MessageBox [Error] Error creating window\n");
    std::vector<PlatformMessageBox> boxes = platformMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, owner);
    EXPECT_EQ(boxes[0].text, "Error creating window");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].type, UINT(MB_OK));
}

TEST_F(MessageBoxes, keep_their_order_until_cleared) {
    testing::internal::CaptureStderr();
    MessageBoxA(nullptr, "first", "One", MB_ICONERROR | MB_OK);
    MessageBoxA(nullptr, "second", nullptr, MB_OK);
    testing::internal::GetCapturedStderr();
    std::vector<PlatformMessageBox> boxes = platformMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].type, UINT(MB_ICONERROR));
    EXPECT_EQ(boxes[1].caption, "Error"); // Windows' caption when none is given
    platformClearMessageBoxes();
    EXPECT_TRUE(platformMessageBoxes().empty());
}

TEST_F(MessageBoxes, a_multi_line_text_still_prints_one_line) {
    testing::internal::CaptureStderr();
    MessageBoxA(nullptr, "two\nlines", "Note", MB_OK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "MessageBox [Note] two lines\n");
    EXPECT_EQ(platformMessageBoxes()[0].text, "two\nlines");
}

TEST_F(MessageBoxes, answer_with_their_first_button) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "?", "Q", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "?", "Q", MB_RETRYCANCEL), IDRETRY);
    testing::internal::GetCapturedStderr();
}

TEST_F(MessageBoxes, with_a_dead_owner_fail_and_show_nothing) {
    HWND owner = createToolWindow();
    DestroyWindow(owner);
    EXPECT_EQ(MessageBoxA(owner, "late", "Error", MB_OK), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_TRUE(platformMessageBoxes().empty());
}

} // namespace
