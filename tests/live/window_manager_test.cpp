// `zephyrdome play` and `listen` on a 1920 by 1080 desktop that a window
// manager (openbox) runs, as people keep them open: full screen, or dragged
// to another size. The picture is scaled to the window keeping its shape,
// centred on black, and a click on a title still picks it.
#include "desktop.h"
#include "play_run.h"
#include "sound_server.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <thread>

namespace {

constexpr int clientWidth = 634, clientHeight = 458;

// Where the plug-in's picture lands in a window of the given size.
struct Area {
    int x, y, width, height;
};

Area pictureArea(int width, int height) {
    if (width * clientHeight <= height * clientWidth) {
        int h = int(std::lround(double(clientHeight) * width / clientWidth));
        return {0, (height - h) / 2, width, h};
    }
    int w = int(std::lround(double(clientWidth) * height / clientHeight));
    return {(width - w) / 2, 0, w, height};
}

// The client point (x, y) on the window's screen.
std::vector<std::string> pointOnScreen(const Area& area, int x, int y) {
    return {std::to_string(area.x + (2 * x + 1) * area.width / (2 * clientWidth)),
            std::to_string(area.y + (2 * y + 1) * area.height / (2 * clientHeight))};
}

// The sum of every channel outside the picture: 0 when it is all black.
long blackAround(const Screenshot& shot, const Area& area) {
    long sum = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            bool inside =
                x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height;
            const unsigned char* p = shot.pixel(x, y);
            if (!inside) sum += p[0] + p[1] + p[2];
        }
    return sum;
}

// Mean difference a channel between a frame and the screenshot read at the
// centres of the frame's pixels scaled into the area.
double differenceFromScaled(const Screenshot& shot, const Area& area, const Screenshot& frame) {
    double total = 0.0;
    long count = 0;
    for (int j = 0; j < frame.height; j += 2)
        for (int i = 0; i < frame.width; i += 2) {
            int x = area.x + (2 * i + 1) * area.width / (2 * frame.width);
            int y = area.y + (2 * j + 1) * area.height / (2 * frame.height);
            for (int c = 0; c < 3; ++c)
                total += std::abs(int(shot.pixel(x, y)[c]) - int(frame.pixel(i, j)[c]));
            count += 3;
        }
    return total / double(count);
}

class UnderWindowManager : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(startDesktop(error, {"1920x1080x24", true})) << error;
    }

    void TearDown() override { std::filesystem::remove_all(frames); }

    void type(const std::string& key) {
        std::string window = std::to_string(run->window());
        ASSERT_EQ(runTool({"xdotool", "windowfocus", "--sync", window}), 0);
        ASSERT_EQ(runTool({"xdotool", "key", key}), 0);
    }

    void clickAt(const std::vector<std::string>& point) {
        ASSERT_EQ(runTool({"xdotool", "mousemove", "--window", std::to_string(run->window()),
                           point[0], point[1], "click", "1"}),
                  0);
    }

    // The next screenshot of the window at this size, waiting up to 20 s for it.
    bool screenshotAt(int width, int height, Screenshot& shot) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::string error;
        while (std::chrono::steady_clock::now() < deadline) {
            if (takeScreenshot(run->window(), shot, error) && shot.width == width &&
                shot.height == height)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    // As screenshotAt, once the picture had a moment to follow the window's size.
    void settledScreenshotAt(int width, int height, Screenshot& shot) {
        ASSERT_TRUE(screenshotAt(width, height, shot))
            << "the window is not " << width << "x" << height;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::string error;
        ASSERT_TRUE(takeScreenshot(run->window(), shot, error)) << error;
    }

    // The window at this size shows one of the frames played, scaled into
    // its area, with black all around.
    void expectScaledPicture(int width, int height) {
        Screenshot shot;
        ASSERT_NO_FATAL_FAILURE(settledScreenshotAt(width, height, shot));
        Area area = pictureArea(width, height);
        EXPECT_EQ(blackAround(shot, area), 0);
        double best = 255.0;
        for (const auto& file : std::filesystem::directory_iterator(frames)) {
            Screenshot frame;
            if (readPngRgb(file.path().string(), frame))
                best = std::min(best, differenceFromScaled(shot, area, frame));
        }
        EXPECT_LT(best, 4.0) << "no frame played looks like the window at " << width << "x"
                             << height;
    }

    PlayRun play;
    PlayRun listen{"listen"};
    PlayRun* run = &play;
    std::string frames = "/tmp/zd_wm_frames_" + std::to_string(getpid());
};

TEST_F(UnderWindowManager, play_full_screen_scales_the_picture_and_clicks_still_pick_titles) {
    ASSERT_TRUE(play.start({"--no-sound", "--fullscreen", "--save-frames", frames}))
        << play.errorOutput();
    expectScaledPicture(1920, 1080);
    // The demo's third title: client (100, 57), as in the unscaled window.
    clickAt(pointOnScreen(pictureArea(1920, 1080), 100, 57));
    EXPECT_FALSE(play.waitForLine("plug-in WM_LBUTTONDOWN 0x01 0x00390064").empty());
    EXPECT_FALSE(play.waitForLine("play entry 2").empty());
    // Escape first leaves full screen; the next one ends play.
    type("Escape");
    EXPECT_FALSE(play.waitForLine("window full screen off").empty());
    Screenshot shot;
    EXPECT_TRUE(screenshotAt(clientWidth, clientHeight, shot)) << "full screen did not end";
    type("Escape");
    EXPECT_EQ(play.wait(), 0) << play.errorOutput();
    EXPECT_EQ(play.errorOutput().find("WM_KEY"), std::string::npos);
    for (const std::string& line : play.traceLines())
        EXPECT_EQ(line.find("plug-in WM_KEYDOWN 0x1b"), std::string::npos) << line;
}

TEST_F(UnderWindowManager, play_resized_by_the_window_manager_scales_and_f11_fills_the_screen) {
    ASSERT_TRUE(play.start({"--no-sound", "--save-frames", frames})) << play.errorOutput();
    ASSERT_EQ(runTool({"xdotool", "windowsize", std::to_string(play.window()), "1000", "1000"}), 0);
    expectScaledPicture(1000, 1000);
    // The second title, client (100, 43).
    clickAt(pointOnScreen(pictureArea(1000, 1000), 100, 43));
    EXPECT_FALSE(play.waitForLine("play entry 1").empty());
    type("F11");
    EXPECT_FALSE(play.waitForLine("window full screen on").empty());
    expectScaledPicture(1920, 1080);
    type("F11");
    Screenshot shot;
    EXPECT_TRUE(screenshotAt(1000, 1000, shot)) << "the window did not get its size back";
    play.closeWindow();
    EXPECT_EQ(play.wait(), 0) << play.errorOutput();
}

// Listen has no frames to compare with: the scene lights a good part of the picture.
TEST_F(UnderWindowManager, listen_full_screen_scales_the_picture_and_maps_clicks_back) {
    std::string error;
    ASSERT_TRUE(startSoundServer(SoundServerKind::pulseaudio, error)) << error;
    run = &listen;
    ASSERT_TRUE(listen.start({"--fullscreen"})) << listen.errorOutput();
    Screenshot shot;
    ASSERT_NO_FATAL_FAILURE(settledScreenshotAt(1920, 1080, shot));
    Area area = pictureArea(1920, 1080);
    EXPECT_EQ(blackAround(shot, area), 0);
    long lit = 0;
    for (int y = area.y; y < area.y + area.height; y += 4)
        for (int x = area.x; x < area.x + area.width; x += 4)
            lit += shot.pixel(x, y)[0] + shot.pixel(x, y)[1] + shot.pixel(x, y)[2] > 48;
    EXPECT_GT(lit * 16 * 20, long(area.width) * area.height) << "no scene in the picture";
    clickAt(pointOnScreen(area, 100, 27));
    EXPECT_FALSE(listen.waitForLine("plug-in WM_LBUTTONDOWN 0x01 0x001b0064").empty());
    listen.closeWindow();
    EXPECT_EQ(listen.wait(), 0) << listen.errorOutput();
}

} // namespace
