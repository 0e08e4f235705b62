#include "plugin_session.h"

#include <cstring>

namespace {

using ShellLifecycle = PluginSession;

TEST(ModuleRecords, HeaderAndModuleCarryTheirLoadValues) {
    VisHeader* header = winampVisGetHeader();
    EXPECT_EQ(header, winampVisGetHeader());
    EXPECT_EQ(header->interfaceVersion, 0x101);
    EXPECT_STREQ(header->libraryName, "Zephyrdome X");
    EXPECT_EQ(header->moduleGetter, &getVisModule);

    VisModule* module = header->moduleGetter(0);
    ASSERT_NE(module, nullptr);
    EXPECT_STREQ(module->moduleName, "Zephyrdome Move");
    EXPECT_EQ(module->latency, 25);
    EXPECT_EQ(module->frameDelay, 25);
    EXPECT_EQ(module->spectrumChannels, 1);
    EXPECT_EQ(module->waveformChannels, 1);
    EXPECT_EQ(module->sampleRate, 0);
    EXPECT_EQ(module->channelCount, 0);
    EXPECT_EQ(module->hostData, nullptr);
    EXPECT_EQ(module->onConfigure, &onConfigure);
    EXPECT_EQ(module->onStart, &onStart);
    EXPECT_EQ(module->onRender, &onRender);
    EXPECT_EQ(module->onStop, &onStop);
    const unsigned char zeros[2][visSampleCount] = {};
    EXPECT_EQ(std::memcmp(module->spectrum, zeros, sizeof(zeros)), 0);
    EXPECT_EQ(std::memcmp(module->waveform, zeros, sizeof(zeros)), 0);
}

TEST(ModuleRecords, OnlyIndexZeroHasAModule) {
    EXPECT_EQ(getVisModule(0), &visModule);
    for (int index : {1, -1, 2, 1000, -2147483647 - 1}) EXPECT_EQ(getVisModule(index), nullptr);
}

TEST(ModuleRecords, ViewStateStartsWithSceneAndPlaylistShownAndHistoryRings) {
    const ViewState loaded;
    EXPECT_EQ(loaded.playlistVisible, 1);
    EXPECT_EQ(loaded.sceneVisible, 1);
    EXPECT_EQ(loaded.autoRotate, 1);
    EXPECT_EQ(loaded.rotationStepX, 2.0f);
    EXPECT_EQ(loaded.rotationStepY, 2.0f);
    EXPECT_EQ(loaded.rotationStepZ, 2.0f);
    EXPECT_EQ(loaded.sphereRadius, 1.0f);
    EXPECT_EQ(loaded.ringMode, 3);
    EXPECT_EQ(loaded.helpVisible, 0);
    EXPECT_EQ(loaded.sphereGrowing, 0);
    EXPECT_EQ(loaded.sphereCounter, 0.0f);
}

TEST_F(ShellLifecycle, ConfigureShowsNothingAndSendsNothing) {
    host->messages.clear();
    onConfigure(module);
    EXPECT_TRUE(platformMessageBoxes().empty());
    EXPECT_TRUE(host->messages.empty());
    EXPECT_EQ(platformLiveWindowCount(), 1);
}

TEST_F(ShellLifecycle, StartOpensAnOwnedToolWindowAt100By100AndPaintsAFirstFrame) {
    ASSERT_EQ(start(), 0);
    ASSERT_TRUE(IsWindow(renderWindow));
    char text[64];
    GetClassNameA(renderWindow, text, sizeof(text));
    EXPECT_STREQ(text, "Zephyrdome X");
    GetWindowTextA(renderWindow, text, sizeof(text));
    EXPECT_STREQ(text, "Zephyrdome Move");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(renderWindow, GWL_STYLE)) & (WS_VISIBLE | WS_SYSMENU),
              static_cast<DWORD>(WS_VISIBLE | WS_SYSMENU));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(renderWindow, GWL_EXSTYLE)),
              static_cast<DWORD>(WS_EX_APPWINDOW | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE));
    EXPECT_EQ(GetWindow(renderWindow, GW_OWNER), host->window());
    EXPECT_EQ(GetWindowLongPtrA(renderWindow, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(module));

    RECT outer, client;
    GetWindowRect(renderWindow, &outer);
    GetClientRect(renderWindow, &client);
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.top, 100);
    EXPECT_EQ(outer.right - outer.left, 640);
    EXPECT_EQ(outer.bottom - outer.top, 480);
    EXPECT_EQ(client.right, 634);
    EXPECT_EQ(client.bottom, 458);
    EXPECT_EQ(clientWidth, 634);
    EXPECT_EQ(clientHeight, 458);
    EXPECT_EQ(windowPlacement.x, 100);
    EXPECT_EQ(windowPlacement.width, 640);
    EXPECT_EQ(windowPlacement.height, 480);

    EXPECT_EQ(platformPresentCount(renderWindow), 1);
    EXPECT_NE(playlistPanel, nullptr);
    EXPECT_TRUE(platformMessageBoxes().empty());
}

TEST_F(ShellLifecycle, RenderReturnsZeroAndAsksThePositionOncePerFrame) {
    ASSERT_EQ(start(), 0);
    host->messages.clear();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(frame(), 0);
    EXPECT_EQ(host->countOf(WM_USER, hostGetPlaylistPosition), 3);
    EXPECT_EQ(platformPresentCount(renderWindow), 4);

    viewState.helpVisible = 1;
    viewState.sceneVisible = 0;
    host->messages.clear();
    EXPECT_EQ(frame(), 0);
    EXPECT_EQ(host->countOf(WM_USER, hostGetPlaylistPosition), 1);
    EXPECT_EQ(host->countOf(WM_USER, hostGetPlaylistLength), 0);
}

TEST_F(ShellLifecycle, AHiddenPlaylistStillFollowsThePositionWithoutRefreshing) {
    host->playlist = {"C:\\a.mp3", "C:\\b.mp3", "C:\\c.mp3"};
    ASSERT_EQ(start(), 0);
    viewState.playlistVisible = 0;
    host->position = 2;
    host->messages.clear();
    frame();
    EXPECT_EQ(playlistPanel->current, 2);
    EXPECT_EQ(host->countOf(WM_USER, hostGetPlaylistLength), 0);

    viewState.playlistVisible = 1;
    host->messages.clear();
    frame();
    EXPECT_EQ(host->countOf(WM_USER, hostGetPlaylistLength), 1);
}

TEST_F(ShellLifecycle, StopAndStartAgainKeepsTheViewStateAndReopensAtTheSamePlace) {
    ASSERT_EQ(start(), 0);
    press('B');
    press(VK_F2);
    onStop(module);
    windowPlacement = {300, 200, 100, 50};
    EXPECT_EQ(renderWindow, nullptr);
    EXPECT_EQ(platformRegisteredClassCount(), 1); // the test host's own

    ASSERT_EQ(start(), 0);
    EXPECT_EQ(viewState.ringMode, 1);
    EXPECT_EQ(viewState.playlistVisible, 0);
    RECT outer;
    GetWindowRect(renderWindow, &outer);
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.top, 100);
}

TEST_F(ShellLifecycle, AHundredStartsAndStopsLeaveNothingBehind) {
    const int windows = platformLiveWindowCount();
    const int classes = platformRegisteredClassCount();
    for (int cycle = 0; cycle < 100; ++cycle) {
        ASSERT_EQ(start(), 0) << "cycle " << cycle;
        frame();
        onStop(module);
    }
    EXPECT_EQ(platformLiveWindowCount(), windows);
    EXPECT_EQ(platformRegisteredClassCount(), classes);
    EXPECT_EQ(platformLiveContextCount(), 0);
    EXPECT_EQ(platformLiveDCCount(), 0);
    EXPECT_EQ(platformLivePaletteCount(), 0);
    EXPECT_TRUE(platformMessageBoxes().empty());
}

TEST_F(ShellLifecycle, RenderingAfterStopOrAfterTheCloseBoxIsHarmless) {
    ASSERT_EQ(start(), 0);
    onStop(module);
    host->messages.clear();
    EXPECT_EQ(frame(), 0);
    EXPECT_TRUE(host->messages.empty());
    onStop(module);

    ASSERT_EQ(start(), 0);
    HWND closed = renderWindow;
    SendMessageA(closed, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(closed));
    EXPECT_EQ(renderWindow, nullptr);
    EXPECT_EQ(platformLiveContextCount(), 0);
    EXPECT_EQ(platformLiveDCCount(), 0);
    EXPECT_EQ(playlistPanel, nullptr);
    EXPECT_EQ(frame(), 0);
    onStop(module);
    EXPECT_EQ(start(), 0);
}

TEST_F(ShellLifecycle, DestroyingTheWindowPostsAQuitMessage) {
    ASSERT_EQ(start(), 0);
    onStop(module);
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) quit = quit || msg.message == WM_QUIT;
    EXPECT_TRUE(quit);
}

} // namespace
