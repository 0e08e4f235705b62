#include "platform_test.h"

namespace {

using FailureHooks = PlatformTest;

PIXELFORMATDESCRIPTOR windowRequest() {
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.cColorBits = 16;
    request.cDepthBits = 16;
    return request;
}

TEST_F(FailureHooks, class_registration_fails_until_the_hook_is_cleared) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = recordingProc;
    windowClass.lpszClassName = "Hooked";
    platformSetFailure(PlatformFailure::RegisterClass, true);
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);
    platformSetFailure(PlatformFailure::RegisterClass, false);
    EXPECT_NE(RegisterClassExA(&windowClass), 0);
}

TEST_F(FailureHooks, window_creation_fails_before_any_message) {
    platformSetFailure(PlatformFailure::CreateWindow, true);
    EXPECT_EQ(createToolWindow(WS_VISIBLE | WS_SYSMENU), nullptr);
    EXPECT_TRUE(messageLog().empty());
    EXPECT_EQ(platformLiveWindowCount(), 0);
}

TEST_F(FailureHooks, pixel_format_choice_and_setting_fail_on_request) {
    HWND window = createToolWindow();
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR request = windowRequest();
    platformSetFailure(PlatformFailure::ChoosePixelFormat, true);
    EXPECT_EQ(ChoosePixelFormat(dc, &request), 0);
    platformSetFailure(PlatformFailure::SetPixelFormat, true);
    EXPECT_FALSE(SetPixelFormat(dc, 1, &request));
    EXPECT_EQ(GetPixelFormat(dc), 0);
    platformSetFailure(PlatformFailure::ChoosePixelFormat, false);
    EXPECT_EQ(ChoosePixelFormat(dc, &request), 1);
}

TEST_F(FailureHooks, reset_clears_every_hook_and_everything_created) {
    platformSetFailure(PlatformFailure::CreateWindow, true);
    platformOfferPaletteFormat(true);
    MessageBoxA(nullptr, "x", "y", MB_OK);
    platformReset();
    EXPECT_EQ(platformRegisteredClassCount(), 0);
    EXPECT_TRUE(platformMessageBoxes().empty());
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = recordingProc;
    windowClass.hInstance = testInstance();
    windowClass.lpszClassName = testClassName;
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    HWND window = createToolWindow();
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR request = windowRequest();
    PIXELFORMATDESCRIPTOR chosen{};
    DescribePixelFormat(dc, ChoosePixelFormat(dc, &request), sizeof chosen, &chosen);
    EXPECT_EQ(chosen.cColorBits, 32);
    PostQuitMessage(0);
    platformReset();
    MSG message{};
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(platformLiveWindowCount(), 0);
    EXPECT_EQ(platformLiveDCCount(), 0);
}

} // namespace
