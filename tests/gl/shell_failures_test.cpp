#include "plugin_session.h"

namespace {

using ShellFailures = PluginSession;

PlatformMessageBox onlyBox() {
    const auto boxes = platformMessageBoxes();
    EXPECT_EQ(boxes.size(), 1u);
    return boxes.empty() ? PlatformMessageBox{} : boxes[0];
}

TEST_F(ShellFailures, ARefusedClassRegistrationIsReportedAndNothingElseHappens) {
    platformSetFailure(PlatformFailure::RegisterClass, true);
    const int windows = platformLiveWindowCount();
    EXPECT_EQ(start(), 1);
    const PlatformMessageBox box = onlyBox();
    EXPECT_EQ(box.text, "Error registering window class");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.owner, host->window());
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(platformLiveWindowCount(), windows);
}

TEST_F(ShellFailures, ASecondStartWithoutStopFindsTheClassTaken) {
    ASSERT_EQ(start(), 0);
    HWND first = renderWindow;
    EXPECT_EQ(onStart(module), 1);
    EXPECT_EQ(onlyBox().text, "Error registering window class");
    EXPECT_EQ(renderWindow, first);
}

TEST_F(ShellFailures, AFailedWindowCreationIsReportedAndLeavesTheClassFree) {
    platformSetFailure(PlatformFailure::CreateWindow, true);
    EXPECT_EQ(start(), 1);
    const PlatformMessageBox box = onlyBox();
    EXPECT_EQ(box.text, "Error creating window");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.owner, host->window());
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));

    platformSetFailure(PlatformFailure::CreateWindow, false);
    platformClearMessageBoxes();
    EXPECT_EQ(start(), 0);
    EXPECT_TRUE(platformMessageBoxes().empty());
}

class PixelFormatFailure : public PluginSession,
                           public ::testing::WithParamInterface<PlatformFailure> {};

TEST_P(PixelFormatFailure, FailsTheStartWithTwoBoxesInsteadOfEndingTheHost) {
    platformSetFailure(GetParam(), true);
    EXPECT_EQ(start(), 1);
    const auto boxes = platformMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, GetParam() == PlatformFailure::ChoosePixelFormat
                                 ? "ChoosePixelFormat failed"
                                 : "SetPixelFormat failed");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_NE(boxes[0].owner, nullptr);
    EXPECT_NE(boxes[0].owner, host->window());
    EXPECT_EQ(boxes[1].text, "Error creating window");
    EXPECT_EQ(boxes[1].owner, host->window());

    EXPECT_EQ(renderWindow, nullptr);
    EXPECT_EQ(platformLiveWindowCount(), 1);
    EXPECT_EQ(platformLiveContextCount(), 0);
    EXPECT_EQ(platformLiveDCCount(), 0);
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
        << "a host that keeps pumping its thread would quit";
    EXPECT_EQ(frame(), 0);

    platformSetFailure(GetParam(), false);
    EXPECT_EQ(start(), 0);
}

INSTANTIATE_TEST_SUITE_P(ChooseAndSet, PixelFormatFailure,
                         ::testing::Values(PlatformFailure::ChoosePixelFormat,
                                           PlatformFailure::SetPixelFormat));

} // namespace
