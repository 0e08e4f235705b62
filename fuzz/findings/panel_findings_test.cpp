// What the playlist-panel fuzz target found, pinned down: a host whose
// answers lie far outside anything a player would say must neither freeze
// the plug-in nor push its arithmetic past the int range.
#include "text_capture.h"

#include "overlay/playlist_panel.h"
#include "shell/vis_module.h"

#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

// More path queries than this for one fetch, and the plug-in is taken to be
// fetching whatever the host claims: the test ends there rather than wait.
constexpr long pathQueryLimit = 1L << 20;

int claimedLength = 0;
long pathQueries = 0;
const char* const somePath = "C:\\Music\\song.mp3";

LRESULT CALLBACK hostileHost(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_USER) return DefWindowProcA(window, message, wParam, lParam);
    if (lParam == hostGetPlaylistLength) return claimedLength;
    if (lParam != hostGetPlaylistFile) return 0;
    if (++pathQueries > pathQueryLimit) {
        std::fprintf(stderr,
                     "the panel asked for more than %ld paths of a claimed playlist of "
                     "%d entries\n",
                     pathQueryLimit, claimedLength);
        std::_Exit(1);
    }
    return reinterpret_cast<LRESULT>(somePath);
}

class HostileHost : public TextTest {
  protected:
    void SetUp() override {
        TextTest::SetUp();
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = hostileHost;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "ZephyrdomeHostileHost";
        RegisterClassExA(&windowClass);
        module.hostWindow =
            CreateWindowExA(0, "ZephyrdomeHostileHost", "Hostile host", WS_POPUP, 0, 0, 100, 100,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        pathQueries = 0;
        highlightDirection = 1;
    }
    void TearDown() override {
        DestroyWindow(module.hostWindow);
        UnregisterClassA("ZephyrdomeHostileHost", GetModuleHandleA(nullptr));
        TextTest::TearDown();
    }

    int drawnTitleLines(PlaylistPanel& panel) {
        // The three fixed labels come last; everything before them is a title.
        return static_cast<int>(groupLines(captureQuads([&] { panel.draw(); })).size()) - 3;
    }

    VisModule module{};
};

} // namespace

// In a child process: a panel that fetches whatever the host claims would
// otherwise hold the whole test program up.
TEST_F(HostileHost, aHostClaimingTwoBillionEntriesIsNotAskedForEveryPath) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            claimedLength = INT_MAX;
            PlaylistPanel panel(&module, "/nonexistent/fontGray.tga");
            panel.setCurrent(3);
            claimedLength = INT_MAX - 1;
            panel.refresh();
            std::exit(panel.titleCount <= pathQueryLimit && drawnTitleLines(panel) <= 25 ? 0 : 2);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(HostileHost, positionsAtTheTopOfTheIntRangeDrawPickAndScrollNothing) {
    claimedLength = 3;
    PlaylistPanel panel(&module, "/nonexistent/fontGray.tga");
    panel.setCurrent(INT_MAX);
    EXPECT_EQ(drawnTitleLines(panel), 0);
    EXPECT_EQ(panel.hitTest(200, 419), -1);
    panel.scrollDown();
    EXPECT_EQ(panel.firstVisible, 0);
    panel.setCurrent(INT_MAX - 20);
    panel.scrollDown();
    EXPECT_GE(panel.firstVisible, 0);
}

TEST_F(HostileHost, positionsAtTheBottomOfTheIntRangeShowTheListFromItsStart) {
    claimedLength = 3;
    PlaylistPanel panel(&module, "/nonexistent/fontGray.tga");
    panel.setCurrent(INT_MIN);
    EXPECT_EQ(panel.firstVisible, 0);
    EXPECT_EQ(panel.current, INT_MIN);
    EXPECT_EQ(drawnTitleLines(panel), 3);
    EXPECT_EQ(panel.hitTest(0, 21), 0);
}
