// `zephyrdome play` on a desktop, driven as a user would: keys typed and
// clicks made in the plug-in's window with xdotool, the window closed from
// outside, screenshots taken with xwd.
#include "desktop.h"
#include "play_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

namespace {

class Play : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(startDesktop(error)) << error;
    }

    void startPlaying(const std::vector<std::string>& args = {}) {
        ASSERT_TRUE(run.start(args)) << run.errorOutput();
    }

    void type(const std::vector<std::string>& keys) {
        std::string window = std::to_string(run.window());
        ASSERT_EQ(runTool({"xdotool", "windowfocus", "--sync", window}), 0);
        std::vector<std::string> command = {"xdotool", "key"};
        command.insert(command.end(), keys.begin(), keys.end());
        ASSERT_EQ(runTool(command), 0);
    }

    void clickAt(int x, int y) {
        ASSERT_EQ(runTool({"xdotool", "mousemove", "--window", std::to_string(run.window()),
                           std::to_string(x), std::to_string(y), "click", "1"}),
                  0);
    }

    // Screenshots until `wanted` holds for one, for up to 20 s.
    bool screenShows(const std::function<bool(const Screenshot&)>& wanted) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            Screenshot shot;
            std::string error;
            if (takeScreenshot(run.window(), shot, error) && wanted(shot)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    void closeAndExpectCleanEnd() {
        run.closeWindow();
        EXPECT_EQ(run.wait(), 0) << run.errorOutput();
    }

    PlayRun run;
};

bool hasLine(const std::vector<std::string>& lines, const std::string& wanted) {
    return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

// Pixels in the rectangle that are mostly `channel` (0 red, 1 green, 2 blue).
int pixelsOf(const Screenshot& shot, int channel, int left, int top, int right, int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const unsigned char* p = shot.pixel(x, y);
            int others = std::max(p[(channel + 1) % 3], p[(channel + 2) % 3]);
            if (p[channel] > 120 && others < 80) ++count;
        }
    return count;
}

// The help page's right-hand column (green) and its key names (blue), on the
// rows where the three-line playlist panel draws nothing.
bool showsHelpPage(const Screenshot& shot) {
    return pixelsOf(shot, 1, 200, 90, 630, 230) > 500 && pixelsOf(shot, 2, 50, 90, 190, 230) > 200;
}

bool showsNothingInHelpArea(const Screenshot& shot) {
    return pixelsOf(shot, 1, 200, 90, 630, 230) == 0 && pixelsOf(shot, 2, 50, 90, 190, 230) == 0;
}

// Light yellow text: the panel's highlighted title.
int yellowRowsBetween(const Screenshot& shot, int top, int bottom) {
    int rows = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < 400; ++x) {
            const unsigned char* p = shot.pixel(x, y);
            if (p[0] > 180 && p[1] > 180 && p[2] < 160) {
                ++rows;
                break;
            }
        }
    return rows;
}

TEST_F(Play, keys_typed_in_the_window_reach_the_plug_in_and_their_releases_the_host) {
    startPlaying();
    type({"b", "c", "a"});
    ASSERT_FALSE(run.waitForLine("host WM_KEYUP 0x41").empty());
    std::vector<std::string> lines = run.traceLines();
    EXPECT_TRUE(hasLine(lines, "plug-in WM_KEYDOWN 0x42 0x00300001"));
    EXPECT_TRUE(hasLine(lines, "plug-in WM_KEYUP 0x42 0xc0300001"));
    EXPECT_TRUE(hasLine(lines, "host WM_KEYUP 0x42 0xc0300001"));
    EXPECT_TRUE(hasLine(lines, "plug-in WM_KEYDOWN 0x43 0x002e0001"));
    EXPECT_TRUE(hasLine(lines, "host WM_KEYUP 0x43 0xc02e0001"));
    EXPECT_TRUE(hasLine(lines, "plug-in WM_KEYDOWN 0x41 0x001e0001"));
    closeAndExpectCleanEnd();
}

TEST_F(Play, f3_hides_the_scene_and_h_shows_the_help_page_over_it) {
    startPlaying();
    type({"F3"});
    ASSERT_TRUE(screenShows(showsNothingInHelpArea)) << "the scene did not go";
    type({"h"});
    EXPECT_TRUE(screenShows(showsHelpPage)) << "no help page";
    type({"h"});
    EXPECT_TRUE(screenShows(showsNothingInHelpArea)) << "the help page stayed";
    closeAndExpectCleanEnd();
}

TEST_F(Play, a_click_on_a_title_plays_that_entry_and_the_panel_highlights_it) {
    startPlaying();
    type({"F3"});
    // The demo's third title: line 2 spans y 50 to 64 for clicks, and is
    // drawn 30 pixels below the first, whose baseline is 420 up from the bottom.
    clickAt(100, 57);
    ASSERT_FALSE(run.waitForLine("play entry 2").empty());
    EXPECT_TRUE(hasLine(run.traceLines(), "plug-in WM_LBUTTONDOWN 0x01 0x00390064"));
    const int firstLineTop = 458 - 420 - 12;
    EXPECT_TRUE(screenShows([&](const Screenshot& shot) {
        return yellowRowsBetween(shot, firstLineTop + 30, firstLineTop + 45) > 3 &&
               yellowRowsBetween(shot, firstLineTop, firstLineTop + 15) == 0;
    })) << "the third title is not highlighted";
    closeAndExpectCleanEnd();
}

double meanDifference(const Screenshot& a, const Screenshot& b) {
    if (a.width != b.width || a.height != b.height) return 255.0;
    double total = 0.0;
    for (size_t i = 0; i < a.rgb.size(); ++i)
        total += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return total / double(a.rgb.size());
}

// At zoom 2 the window is twice the client size, each pixel a 2 by 2 block,
// and a click lands on the title under it: (200, 114) is client (100, 57).
TEST_F(Play, at_zoom_2_the_window_doubles_and_a_click_on_a_title_still_plays_it) {
    startPlaying({"--zoom", "2"});
    type({"F3"});
    Screenshot shot;
    ASSERT_TRUE(screenShows([&](const Screenshot& s) {
        shot = s;
        return yellowRowsBetween(s, 2 * (458 - 420 - 12), 2 * (458 - 420 + 3)) > 6;
    })) << "the first title is not shown at twice its size";
    ASSERT_EQ(shot.width, 2 * 634);
    ASSERT_EQ(shot.height, 2 * 458);
    int blocksBroken = 0;
    for (int y = 0; y < shot.height; y += 2)
        for (int x = 0; x < shot.width; x += 2)
            for (int c = 0; c < 3; ++c)
                blocksBroken += shot.pixel(x, y)[c] != shot.pixel(x + 1, y)[c] ||
                                shot.pixel(x, y)[c] != shot.pixel(x, y + 1)[c] ||
                                shot.pixel(x, y)[c] != shot.pixel(x + 1, y + 1)[c];
    EXPECT_EQ(blocksBroken, 0);
    clickAt(200, 114);
    ASSERT_FALSE(run.waitForLine("play entry 2").empty());
    EXPECT_TRUE(hasLine(run.traceLines(), "plug-in WM_LBUTTONDOWN 0x01 0x00390064"));
    closeAndExpectCleanEnd();
}

TEST_F(Play, the_window_on_the_desktop_shows_the_frames_the_host_captured) {
    std::string folder = "/tmp/zd_play_frames_" + std::to_string(getpid());
    std::filesystem::remove_all(folder);
    startPlaying({"--save-frames", folder});
    ASSERT_FALSE(run.waitForLine("window").empty());
    std::this_thread::sleep_for(std::chrono::seconds(1));
    // Three looks a moment apart: one look once matched no saved frame under
    // the sanitizers, for no cause found; a window that never shows the
    // captured frames still fails every look.
    std::vector<Screenshot> shots(3);
    std::string error;
    for (Screenshot& shot : shots) {
        ASSERT_TRUE(takeScreenshot(run.window(), shot, error)) << error;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    closeAndExpectCleanEnd();
    double best = 255.0;
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
        Screenshot frame;
        if (!readPngRgb(file.path().string(), frame)) continue;
        for (const Screenshot& shot : shots)
            best = std::min(best, meanDifference(shot, frame));
    }
    std::filesystem::remove_all(folder);
    EXPECT_LT(best, 0.5) << "no captured frame looks like the screenshot";
}

TEST_F(Play, closing_the_window_ends_play_with_status_0) {
    startPlaying();
    run.closeWindow();
    EXPECT_EQ(run.wait(), 0);
    EXPECT_TRUE(hasLine(run.traceLines(), "plug-in WM_CLOSE 0x00 0x00000000"));
    EXPECT_NE(run.errorOutput().find("the plug-in's window was closed"), std::string::npos);
}

TEST_F(Play, space_pauses_and_resumes_and_escape_ends_play) {
    startPlaying();
    type({"space"});
    EXPECT_FALSE(run.waitForLine("player pause").empty());
    type({"space"});
    EXPECT_FALSE(run.waitForLine("player resume").empty());
    type({"Escape"});
    EXPECT_EQ(run.wait(), 0);
    EXPECT_TRUE(hasLine(run.traceLines(), "player quit"));
}

TEST_F(Play, the_player_keys_move_through_the_playlist) {
    startPlaying();
    type({"n"});
    EXPECT_FALSE(run.waitForLine("entry 1").empty());
    type({"n"});
    EXPECT_FALSE(run.waitForLine("entry 2").empty());
    type({"z"});
    EXPECT_FALSE(run.waitForLine("player previous").empty());
    std::vector<std::string> lines = run.traceLines();
    EXPECT_TRUE(hasLine(lines, "player next"));
    closeAndExpectCleanEnd();
}

// The figures of the summary line: frames/s on the monotonic clock and per
// second of the playback clock the frames were paced on.
bool summaryRates(const std::string& output, double& perSecond, double& perPlaybackSecond) {
    size_t at = output.find("zephyrdome: played");
    if (at == std::string::npos) return false;
    long long frames = 0;
    double seconds = 0.0;
    return std::sscanf(output.c_str() + at,
                       "zephyrdome: played %lld frames in %lf s (%lf frames/s, %lf per second",
                       &frames, &seconds, &perSecond, &perPlaybackSecond) == 4;
}

struct FrameLine {
    long long index;
    double dueMs;
    double drawnMs;
};

std::vector<FrameLine> frameLines(const std::vector<std::string>& lines) {
    std::vector<FrameLine> frames;
    for (const std::string& line : lines) {
        FrameLine frame{};
        if (std::sscanf(line.c_str(), "frame %lld due %lf at %lf", &frame.index, &frame.dueMs,
                        &frame.drawnMs) == 3)
            frames.push_back(frame);
    }
    return frames;
}

// Frames keep to the clock they are paced on, whatever the machine's load:
// each is drawn once due and never before, one every 25 ms of that clock,
// unless the player fell more than four frames behind (the machine stalled)
// and started the schedule over from then. Never more than 40 a second of it.
void expectFramesEvery25MsOfTheClock(const PlayRun& run, double seconds) {
    std::string output = run.errorOutput();
    double perSecond = 0.0, perClockSecond = 0.0;
    ASSERT_TRUE(summaryRates(output, perSecond, perClockSecond)) << output;
    EXPECT_LE(perClockSecond, 40.0 + 1.0 / seconds) << output;
    std::vector<FrameLine> frames = frameLines(run.traceLines());
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[0].dueMs, 0.0);
    for (size_t n = 0; n < frames.size(); ++n) {
        const FrameLine& frame = frames[n];
        ASSERT_EQ(frame.index, static_cast<long long>(n));
        ASSERT_GE(frame.drawnMs, frame.dueMs) << "frame " << n;
        if (n == 0) continue;
        const FrameLine& last = frames[n - 1];
        double scheduled = last.dueMs + 25.0;
        if (last.drawnMs - scheduled > 4 * 25.0)
            ASSERT_NEAR(frame.dueMs, last.drawnMs, 0.0015) << "frame " << n;
        else
            ASSERT_NEAR(frame.dueMs, scheduled, 0.0015) << "frame " << n;
    }
}

TEST_F(Play, without_a_sound_device_play_is_silent_at_forty_frames_a_second) {
    ASSERT_TRUE(run.start({"--duration", "2s"}, {"SDL_AUDIODRIVER=no-such-driver"}));
    EXPECT_EQ(run.wait(), 0);
    std::string output = run.errorOutput();
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 2) << output;
    EXPECT_NE(output.find("zephyrdome: no sound device ("), std::string::npos) << output;
    expectFramesEvery25MsOfTheClock(run, 2.0);
}

TEST_F(Play, a_sound_card_that_fails_to_open_costs_one_line_and_no_library_noise) {
#ifndef ZD_HOST_HAS_SOUND
    GTEST_SKIP() << "the host was built without SDL2";
#endif
    ASSERT_TRUE(
        run.start({"--duration", "0.5s"}, {"SDL_AUDIODRIVER=alsa", "ALSA_CARD=no-such-card"}));
    EXPECT_EQ(run.wait(), 0);
    std::string output = run.errorOutput();
    EXPECT_EQ(output.find("ALSA lib"), std::string::npos) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 2) << output;
    EXPECT_NE(output.find("zephyrdome: no sound device ("), std::string::npos) << output;
}

TEST_F(Play, with_a_sound_device_frames_keep_to_its_playback_clock) {
#ifndef ZD_HOST_HAS_SOUND
    GTEST_SKIP() << "the host was built without SDL2";
#endif
    // SDL's file device takes a 512-frame buffer every 23 ms, so its playback
    // clock runs at half the 44.1 kHz pace: frames paced on wall time would
    // come twice as often as that clock allows.
    ASSERT_TRUE(
        run.start({"--duration", "2s"}, {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=/dev/null",
                                         "SDL_DISKAUDIODELAY=23"}));
    EXPECT_EQ(run.wait(), 0);
    std::string output = run.errorOutput();
    EXPECT_EQ(output.find("no sound device"), std::string::npos) << output;
    double perSecond = 0.0, perClockSecond = 0.0;
    ASSERT_TRUE(summaryRates(output, perSecond, perClockSecond)) << output;
    EXPECT_LT(perSecond, perClockSecond * 0.75)
        << "the device's clock did not run slow: " << output;
    expectFramesEvery25MsOfTheClock(run, 2.0);
}

TEST(PlayWithoutDesktop, says_so_in_one_line_and_points_to_render) {
    std::string output;
    int status = runTool({"sh", "-c", "env -u DISPLAY '" + playProgram() + "' play 2>&1"}, &output);
    EXPECT_NE(status, 0);
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_NE(output.find("no display"), std::string::npos) << output;
    EXPECT_NE(output.find("zephyrdome render"), std::string::npos) << output;
}

} // namespace
