#include "plugin_session.h"

#include <cstring>

namespace {

class CapturedFrames : public PluginSession {
  protected:
    void SetUp() override {
        PluginSession::SetUp();
        ASSERT_EQ(start(), 0);
    }

    const unsigned char* pixelAt(const std::vector<unsigned char>& image, int x, int y) {
        return &image[(static_cast<size_t>(y) * 634 + x) * 4];
    }
};

TEST_F(CapturedFrames, HidingSceneAndPlaylistGivesABlackFrame) {
    press(VK_F3);
    press(VK_F2);
    // The first frame's change of position draws the panel even while hidden.
    frame();
    frame();
    int width = 0, height = 0;
    const auto image = presented(&width, &height);
    ASSERT_EQ(width, 634);
    ASSERT_EQ(height, 458);
    for (size_t i = 0; i < image.size(); i += 4)
        ASSERT_EQ(image[i] | image[i + 1] | image[i + 2], 0) << "pixel " << i / 4;
}

TEST_F(CapturedFrames, TheSphereShowsYellowAtTheCentre) {
    press(VK_F2);
    // Bass 30 and loudness 20 lift the upper speaker's rim out of the way.
    unsigned char* spectrum = module->spectrum[0];
    for (int bin = 120; bin < 126; ++bin) spectrum[bin] = 115;
    for (int bin = 300; bin < 575; ++bin) spectrum[bin] = 34;
    frame();
    ASSERT_EQ(audioFeatures.bassLevel, 30);
    ASSERT_EQ(audioFeatures.loudness, 20);
    const auto image = presented();
    ASSERT_FALSE(image.empty());
    // Funnel lines cross the middle; most of the box around it is sphere.
    int yellow = 0;
    for (int y = 229 - 7; y <= 229 + 7; ++y)
        for (int x = 317 - 7; x <= 317 + 7; ++x) {
            const unsigned char* p = pixelAt(image, x, y);
            if (p[0] > 150 && p[1] > 120 && p[2] < p[0] / 2) ++yellow;
        }
    EXPECT_GT(yellow, 60);
}

TEST_F(CapturedFrames, WithRotationOffModeCFramesRepeatExactly) {
    press(VK_F2);
    press('C');
    press('D');
    frame();
    frame();
    const auto second = presented();
    frame();
    const auto third = presented();
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(second, third);
    size_t lit = 0;
    for (size_t i = 0; i < third.size(); i += 4) lit += third[i] | third[i + 1] | third[i + 2] ? 1 : 0;
    EXPECT_GT(lit, third.size() / 4 / 20) << "the scene should cover a fair part of the frame";
}

TEST_F(CapturedFrames, ARepaintDrawsTheSceneAndPanelButAsksTheHostNothing) {
    host->messages.clear();
    const int presents = platformPresentCount(renderWindow);
    InvalidateRect(renderWindow, nullptr, FALSE);
    UpdateWindow(renderWindow);
    EXPECT_EQ(platformPresentCount(renderWindow), presents + 1);
    EXPECT_TRUE(host->messages.empty());
}

} // namespace
