#include "platform_test.h"

namespace {

WNDCLASSEXA classNamed(const char* name, HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = recordingProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_CROSS);
    windowClass.lpszClassName = name;
    return windowClass;
}

using WindowClasses = PlatformTest;

TEST_F(WindowClasses, registering_a_live_class_again_for_the_same_instance_fails) {
    WNDCLASSEXA windowClass = classNamed("Twice", testInstance());
    ATOM first = RegisterClassExA(&windowClass);
    EXPECT_NE(first, 0);
    SetLastError(0);
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
    EXPECT_EQ(platformRegisteredClassCount(), 2); // with the fixture's own class
}

TEST_F(WindowClasses, the_same_name_may_be_registered_by_another_instance) {
    WNDCLASSEXA mine = classNamed("Shared", testInstance());
    WNDCLASSEXA theirs = classNamed("Shared", reinterpret_cast<HINSTANCE>(0x1234));
    EXPECT_NE(RegisterClassExA(&mine), 0);
    EXPECT_NE(RegisterClassExA(&theirs), 0);
}

TEST_F(WindowClasses, a_class_can_be_registered_again_after_unregistering) {
    WNDCLASSEXA windowClass = classNamed("Again", testInstance());
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    EXPECT_TRUE(UnregisterClassA("Again", testInstance()));
    EXPECT_NE(RegisterClassExA(&windowClass), 0);
}

TEST_F(WindowClasses, unregistering_fails_while_windows_of_the_class_exist) {
    HWND window = createToolWindow();
    ASSERT_NE(window, nullptr);
    SetLastError(0);
    EXPECT_FALSE(UnregisterClassA(testClassName, testInstance()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_HAS_WINDOWS));
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassA(testClassName, testInstance()));
}

TEST_F(WindowClasses, unregistering_an_unknown_class_fails) {
    EXPECT_FALSE(UnregisterClassA("Nobody", testInstance()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_DOES_NOT_EXIST));
    EXPECT_FALSE(UnregisterClassA(testClassName, reinterpret_cast<HINSTANCE>(0x99)));
}

TEST_F(WindowClasses, a_request_of_the_wrong_size_is_refused) {
    WNDCLASSEXA windowClass = classNamed("Sized", testInstance());
    windowClass.cbSize = 40;
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(WindowClasses, windows_are_created_only_from_registered_classes) {
    HWND window = CreateWindowExA(0, "Unknown", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  testInstance(), nullptr);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_TRUE(messageLog().empty());
}

TEST_F(WindowClasses, a_window_reports_its_class_name) {
    HWND window = createToolWindow();
    char name[64] = {};
    EXPECT_EQ(GetClassNameA(window, name, sizeof name), int(strlen(testClassName)));
    EXPECT_STREQ(name, testClassName);
    char shortName[5] = {};
    EXPECT_EQ(GetClassNameA(window, shortName, sizeof shortName), 4);
    EXPECT_STREQ(shortName, "Plat");
}

TEST_F(WindowClasses, system_icons_and_cursors_load_without_an_instance_only) {
    EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
    EXPECT_NE(LoadCursorA(nullptr, IDC_CROSS), nullptr);
    EXPECT_EQ(LoadIconA(testInstance(), IDI_APPLICATION), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
}

} // namespace
