// The playlist panel against a host window: the titles it takes from the
// host's paths, when it asks again, what it draws, scrolling, picking a line
// and the sway of the highlighted line.
#include "text_capture.h"

#include "overlay/playlist_panel.h"
#include "shell/vis_module.h"
#include "test_host.h"
#include "text/text.h"

#include <GL/gl.h>

#include <memory>
#include <string>

namespace {

std::vector<std::optional<std::string>> numberedPaths(int count) {
    std::vector<std::optional<std::string>> paths;
    for (int i = 0; i < count; ++i)
        paths.push_back("C:\\Music\\track" + std::to_string(i) + ".mp3");
    return paths;
}

class PanelTest : public TextTest {
  protected:
    void SetUp() override {
        TextTest::SetUp();
        module.hostWindow = host.window();
        highlightDirection = 1;
    }

    std::unique_ptr<PlaylistPanel> makePanel() {
        auto panel = std::make_unique<PlaylistPanel>(&module, "/nonexistent/fontGray.tga");
        host.messages.clear();
        return panel;
    }

    std::vector<CapturedLine> drawnLines(PlaylistPanel& panel) {
        return groupLines(captureQuads([&] { panel.draw(); }));
    }

    TestHost host;
    VisModule module{};
};

const float green[3] = {0.0f, 0.8f, 0.2f};
const float yellow[3] = {1.0f, 1.0f, 0.5f};

void expectLine(const CapturedLine& line, int x, int y, int size, const float (&color)[3],
                const std::string& text) {
    EXPECT_EQ(line.text, text);
    EXPECT_EQ(line.x, x) << text;
    EXPECT_EQ(line.y, y) << text;
    EXPECT_EQ(line.size, size) << text;
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(line.color[i], color[i]) << text;
}

void expectLabels(const std::vector<CapturedLine>& lines) {
    ASSERT_GE(lines.size(), 3u);
    const size_t n = lines.size();
    expectLine(lines[n - 3], 200, 430, 30, green, "-");
    expectLine(lines[n - 2], 200, 10, 30, green, "+");
    expectLine(lines[n - 1], 500, 10, 10, green, "h : Aide");
}

} // namespace

TEST_F(PanelTest, titlesAreWhatFollowsThePathsLastBackslashCutTo40Characters) {
    const std::string longName(45, 'n');
    host.playlist = {"C:\\Music\\Jazz\\So What.mp3",
                     "a name without any backslash that runs past forty characters.mp3",
                     "C:\\Music\\",
                     std::nullopt,
                     "C:/Music/forward/slash.mp3",
                     "D:\\" + longName};
    auto panel = makePanel();
    ASSERT_EQ(panel->titleCount, 6);
    EXPECT_STREQ(panel->titles[0], "So What.mp3");
    EXPECT_STREQ(panel->titles[1], "a name without any backslash that runs p");
    EXPECT_STREQ(panel->titles[2], "");
    EXPECT_STREQ(panel->titles[3], "");
    EXPECT_STREQ(panel->titles[4], "C:/Music/forward/slash.mp3");
    EXPECT_EQ(std::string(panel->titles[5]), longName.substr(0, 40));
}

TEST_F(PanelTest, constructionAsksTheLengthThenEveryPathAndLoadsTheFont) {
    host.playlist = numberedPaths(3);
    fontInfo.texture = 0;
    host.messages.clear();
    PlaylistPanel panel(&module, ZD_FONT_IMAGE);
    ASSERT_EQ(host.messages.size(), 4u);
    EXPECT_EQ(host.messages[0].message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(host.messages[0].lParam, hostGetPlaylistLength);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(host.messages[1 + i].lParam, hostGetPlaylistFile);
        EXPECT_EQ(host.messages[1 + i].wParam, static_cast<WPARAM>(i));
    }
    EXPECT_EQ(panel.host, &module);
    EXPECT_EQ(panel.titleCount, 3);
    EXPECT_EQ(panel.firstVisible, 0);
    EXPECT_EQ(panel.current, -1);
    EXPECT_EQ(panel.pageSize, 25);
    EXPECT_EQ(panel.scrollStep, 5);
    EXPECT_EQ(panel.highlightOffset, 0);
    EXPECT_EQ(panel.enabled, 1);
    ASSERT_NE(fontInfo.texture, 0u);
    glBindTexture(GL_TEXTURE_2D, fontInfo.texture);
    GLint fontWidth = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &fontWidth);
    EXPECT_EQ(fontWidth, 256);
}

TEST_F(PanelTest, emptyOrNegativeLengthGivesNoTitlesAndOnlyTheLabels) {
    for (int length : {0, -3}) {
        host.reportedLength = length;
        auto panel = makePanel();
        EXPECT_EQ(panel->titleCount, 0);
        EXPECT_EQ(panel->titles, nullptr);
        panel->refresh();
        EXPECT_EQ(host.countOf(WM_USER, hostGetPlaylistFile), 0);
        EXPECT_EQ(panel->titles, nullptr);
        const auto lines = drawnLines(*panel);
        ASSERT_EQ(lines.size(), 3u);
        expectLabels(lines);
        EXPECT_EQ(panel->hitTest(0, 30), -1);
    }
}

TEST_F(PanelTest, refreshFetchesTitlesOnlyWhenTheLengthChanges) {
    host.playlist = {"a.mp3", "b.mp3"};
    auto panel = makePanel();
    host.playlist = {"b.mp3", "a.mp3"};
    panel->refresh();
    EXPECT_EQ(host.countOf(WM_USER, hostGetPlaylistLength), 1);
    EXPECT_EQ(host.countOf(WM_USER, hostGetPlaylistFile), 0);
    EXPECT_STREQ(panel->titles[0], "a.mp3");

    host.playlist.push_back("c.mp3");
    panel->refresh();
    EXPECT_EQ(host.countOf(WM_USER, hostGetPlaylistFile), 3);
    ASSERT_EQ(panel->titleCount, 3);
    EXPECT_STREQ(panel->titles[0], "b.mp3");
    EXPECT_STREQ(panel->titles[2], "c.mp3");

    host.playlist.clear();
    panel->refresh();
    EXPECT_EQ(panel->titleCount, 0);
    EXPECT_EQ(panel->titles, nullptr);
}

TEST_F(PanelTest, refreshLeavesPositionAndSwayAlone) {
    host.playlist = numberedPaths(20);
    auto panel = makePanel();
    panel->setCurrent(12);
    host.playlist = numberedPaths(3);
    panel->refresh();
    EXPECT_EQ(panel->current, 12);
    EXPECT_EQ(panel->firstVisible, 7);
    EXPECT_EQ(panel->highlightOffset, 1);
    // Scrolled past the end of the shorter list: only the labels remain.
    EXPECT_EQ(drawnLines(*panel).size(), 3u);
    EXPECT_EQ(panel->hitTest(0, 30), -1);
}

TEST_F(PanelTest, newPositionMovesTheListAndDrawsAtOnce) {
    host.playlist = numberedPaths(30);
    auto panel = makePanel();
    auto lines = groupLines(captureQuads([&] { panel->setCurrent(3); }));
    EXPECT_EQ(panel->firstVisible, 0);
    ASSERT_EQ(lines.size(), 28u);
    expectLine(lines[3], 50, 375, 10, yellow, "3- track3.mp3");

    lines = groupLines(captureQuads([&] { panel->setCurrent(12); }));
    EXPECT_EQ(panel->firstVisible, 7);
    ASSERT_EQ(lines.size(), 26u);
    expectLine(lines[0], 50, 420, 10, green, "7- track7.mp3");
    expectLine(lines[5], 51, 345, 10, yellow, "12- track12.mp3");

    EXPECT_TRUE(captureQuads([&] { panel->setCurrent(12); }).empty());
}

TEST_F(PanelTest, drawShowsAtMost25NumberedLinesAndTheThreeLabels) {
    host.playlist = numberedPaths(30);
    host.playlist[2] = "C:\\100% pure.mp3";
    auto panel = makePanel();
    const auto lines = drawnLines(*panel);
    ASSERT_EQ(lines.size(), 28u);
    for (int k = 0; k < 25; ++k) {
        const std::string title = k == 2 ? "100% pure.mp3" : "track" + std::to_string(k) + ".mp3";
        expectLine(lines[k], 50, 420 - 15 * k, 10, green, std::to_string(k) + "- " + title);
    }
    expectLabels(lines);
}

TEST_F(PanelTest, disabledPanelDrawsNothing) {
    host.playlist = numberedPaths(2);
    auto panel = makePanel();
    panel->toggle();
    EXPECT_EQ(panel->enabled, -1);
    EXPECT_TRUE(captureQuads([&] { panel->draw(); }).empty());
    panel->toggle();
    EXPECT_EQ(panel->enabled, 1);
    EXPECT_EQ(drawnLines(*panel).size(), 5u);
}

TEST_F(PanelTest, scrollingStopsAtTheLastFullPage) {
    const struct {
        int titles;
        std::vector<int> steps;
    } cases[] = {{100, {5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 75, 75}},
                 {30, {5, 5, 5}},
                 {3, {0, 0}}};
    for (const auto& c : cases) {
        host.playlist = numberedPaths(c.titles);
        auto panel = makePanel();
        for (int expected : c.steps) {
            panel->scrollDown();
            EXPECT_EQ(panel->firstVisible, expected) << c.titles;
        }
    }
    host.playlist = numberedPaths(100);
    auto panel = makePanel();
    panel->firstVisible = 3;
    panel->scrollUp();
    EXPECT_EQ(panel->firstVisible, 0);
    panel->firstVisible = 12;
    panel->scrollUp();
    EXPECT_EQ(panel->firstVisible, 7);
}

TEST_F(PanelTest, clickHeightPicksTheLineCountedFromTheTop) {
    host.playlist = numberedPaths(100);
    auto panel = makePanel();
    panel->firstVisible = 10;
    EXPECT_EQ(panel->hitTest(999, 21), 10);
    EXPECT_EQ(panel->hitTest(0, 34), 10);
    EXPECT_EQ(panel->hitTest(0, 35), 11);
    EXPECT_EQ(panel->hitTest(0, 419), 36);
    EXPECT_EQ(panel->current, 36);
    EXPECT_EQ(panel->firstVisible, 10);

    panel->firstVisible = 90;
    EXPECT_EQ(panel->hitTest(0, 169), 99);
    EXPECT_EQ(panel->hitTest(0, 170), -1);
    EXPECT_EQ(panel->current, 99);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(PanelTest, highlightedLineSwaysOnePixelPerDrawingOver124Drawings) {
    host.playlist = numberedPaths(3);
    auto panel = makePanel();
    panel->current = 1;
    std::vector<int> xs;
    for (int i = 0; i < 125; ++i)
        xs.push_back(drawnLines(*panel)[1].x);
    for (int i = 0; i <= 31; ++i)
        EXPECT_EQ(xs[i], 50 + i) << i;
    for (int i = 31; i <= 93; ++i)
        EXPECT_EQ(xs[i], 50 + 31 - (i - 31)) << i;
    for (int i = 93; i <= 124; ++i)
        EXPECT_EQ(xs[i], 19 + (i - 93)) << i;
    EXPECT_EQ(xs[124], xs[0]);
    EXPECT_EQ(highlightDirection, 1);

    // Off the page the sway stands still.
    panel->firstVisible = 2;
    drawnLines(*panel);
    EXPECT_EQ(panel->highlightOffset, 1);
}
