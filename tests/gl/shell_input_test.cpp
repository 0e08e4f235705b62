#include "plugin_session.h"

#include <cmath>
#include <string>

namespace {

class ShellInput : public PluginSession {
  protected:
    void SetUp() override {
        PluginSession::SetUp();
        ASSERT_EQ(start(), 0);
        host->messages.clear();
    }
};

TEST_F(ShellInput, LetterKeysChooseTheRingModeWithOrWithoutShift) {
    press('B');
    EXPECT_EQ(viewState.ringMode, 1);
    press('B');
    EXPECT_EQ(viewState.ringMode, 1);
    press('C');
    EXPECT_EQ(viewState.ringMode, 2);
    press('A');
    EXPECT_EQ(viewState.ringMode, 3);
    press('Z');
    press('1');
    EXPECT_EQ(viewState.ringMode, 3);
}

TEST_F(ShellInput, ArrowsDoNothingWhileTheSceneTurnsByItself) {
    press(VK_LEFT);
    press(VK_DOWN);
    press(VK_RIGHT);
    EXPECT_EQ(viewState.rotationStepX, 2.0f);
    frame();
    EXPECT_EQ(viewState.rotationStepX, 2.0f);
    EXPECT_EQ(viewState.rotationStepY, 2.0f);
    EXPECT_EQ(viewState.rotationStepZ, 2.0f);
}

TEST_F(ShellInput, AfterDTheFirstFrameStillTurnsAndLaterFramesStandStill) {
    press('D');
    EXPECT_EQ(viewState.autoRotate, 0);
    const auto before = modelview();
    frame();
    const auto turned = modelview();
    EXPECT_NE(before, turned);
    EXPECT_EQ(viewState.rotationStepX, 0.0f);
    frame();
    frame();
    EXPECT_EQ(modelview(), turned);

    press('D');
    EXPECT_EQ(viewState.autoRotate, 1);
    frame();
    frame();
    EXPECT_EQ(viewState.rotationStepY, 2.0f);
    EXPECT_NE(modelview(), turned);
}

TEST_F(ShellInput, OneArrowPressTurnsTheSceneByExactlyTwoDegreesOnce) {
    press('D');
    frame();
    const auto start = modelview();
    press(VK_DOWN);
    press(VK_DOWN);
    frame();
    const auto turned = modelview();
    frame();
    EXPECT_EQ(modelview(), turned);

    // turned = start * rotate(2 degrees about y)
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadMatrixf(start.data());
    glRotatef(2.0f, 0.0f, 1.0f, 0.0f);
    const auto expected = modelview();
    glPopMatrix();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(turned[i], expected[i], 1e-5f) << i;
}

TEST_F(ShellInput, HoldingUpGrowsTheSphereAsSquaresAndReleasingResetsIt) {
    std::vector<float> radii;
    for (int i = 0; i < 3; ++i) {
        press(VK_UP, i == 0 ? 1 : 0x40000001);
        radii.push_back(viewState.sphereRadius);
    }
    EXPECT_EQ(radii, (std::vector<float>{1.0f, 4.0f, 9.0f}));
    EXPECT_EQ(viewState.sphereGrowing, 1);
    frame();
    EXPECT_EQ(viewState.sphereRadius, 9.0f);

    release(VK_UP);
    EXPECT_EQ(viewState.sphereRadius, 1.0f);
    EXPECT_EQ(viewState.sphereGrowing, 0);
    radii.clear();
    for (int i = 0; i < 2; ++i) {
        press(VK_UP);
        radii.push_back(viewState.sphereRadius);
    }
    EXPECT_EQ(radii, (std::vector<float>{4.0f, 9.0f}));
}

TEST_F(ShellInput, ToggleKeysActAgainOnEveryAutoRepeat) {
    press('H');
    EXPECT_EQ(viewState.helpVisible, 1);
    press('H', 0x40000001);
    EXPECT_EQ(viewState.helpVisible, 0);
    press(VK_F2);
    EXPECT_EQ(viewState.playlistVisible, 0);
    press(VK_F3);
    EXPECT_EQ(viewState.sceneVisible, 0);
    press(VK_F3, 0x40000001);
    press(VK_F3, 0x40000001);
    EXPECT_EQ(viewState.sceneVisible, 0);
}

TEST_F(ShellInput, EveryKeyReleaseReachesTheHostUnchangedAndNothingElseDoes) {
    press('A');
    PostMessageA(renderWindow, WM_SYSKEYUP, 'X', static_cast<LPARAM>(0xE0000001u));
    host->pumpMessages();
    EXPECT_EQ(host->countOf(WM_KEYDOWN), 0);
    EXPECT_EQ(host->countOf(WM_SYSKEYUP), 0);

    release('A', static_cast<LPARAM>(0xC01E0001u));
    release(VK_SPACE, 0x12345);
    const auto releases = host->only(WM_KEYUP);
    ASSERT_EQ(releases.size(), 2u);
    EXPECT_EQ(releases[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(releases[0].lParam, static_cast<LPARAM>(0xC01E0001u));
    EXPECT_EQ(releases[1].wParam, static_cast<WPARAM>(VK_SPACE));
    EXPECT_EQ(releases[1].lParam, 0x12345);
}

class ShellClicks : public PluginSession {
  protected:
    void SetUp() override {
        PluginSession::SetUp();
        for (int i = 0; i < 100; ++i)
            host->playlist.push_back("C:\\music\\track" + std::to_string(i) + ".mp3");
        ASSERT_EQ(start(), 0);
        playlistPanel->firstVisible = 10;
        host->messages.clear();
    }
};

TEST_F(ShellClicks, TheScrollZonesHaveStrictBounds) {
    click(240, 10);
    click(180, 10);
    click(200, 0);
    click(200, 20);
    EXPECT_EQ(playlistPanel->firstVisible, 10);
    click(200, 10);
    EXPECT_EQ(playlistPanel->firstVisible, 5);
    click(200, 450);
    click(239, 420);
    EXPECT_EQ(playlistPanel->firstVisible, 5);
    click(239, 449);
    EXPECT_EQ(playlistPanel->firstVisible, 10);
    EXPECT_EQ(host->countOf(WM_COMMAND), 0);
}

TEST_F(ShellClicks, AClickOnATitleSetsThePositionThenPlays) {
    click(5, 20);
    click(600, 420);
    EXPECT_TRUE(host->messages.empty());

    click(600, 36);
    ASSERT_EQ(host->messages.size(), 2u);
    EXPECT_EQ(host->messages[0].message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(host->messages[0].wParam, 11u);
    EXPECT_EQ(host->messages[0].lParam, hostSetPlaylistPosition);
    EXPECT_EQ(host->messages[1].message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(host->messages[1].wParam, hostPlayCommand);
    EXPECT_EQ(host->messages[1].lParam, 0);
    EXPECT_EQ(host->position, 11);
}

TEST_F(ShellClicks, TitlesArePickedEvenWhileThePanelIsHidden) {
    press(VK_F2);
    press('H');
    click(100, 21);
    EXPECT_EQ(host->position, 10);
    EXPECT_EQ(host->playCount, 1);
}

TEST_F(ShellClicks, TheRightButtonDoesNothing) {
    PostMessageA(renderWindow, WM_RBUTTONDOWN, 0, MAKELPARAM(100, 100));
    PostMessageA(renderWindow, WM_RBUTTONUP, 0, MAKELPARAM(100, 100));
    host->pumpMessages();
    EXPECT_TRUE(host->messages.empty());
}

} // namespace
