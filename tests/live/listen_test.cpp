// `zephyrdome listen` on a desktop with a private sound server: a tone played
// into its null sink reaches the plug-in through the sink's monitor.
#include "desktop.h"
#include "host/test_audio.h"
#include "play_run.h"
#include "sound_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sys/wait.h>
#include <thread>

namespace {

class Listen : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(startDesktop(error)) << error;
        ASSERT_TRUE(startSoundServer(error)) << error;
    }
};

// The bass levels of the "level bass B loudness L" trace lines, in order.
std::vector<int> bassLevels(const std::vector<std::string>& lines) {
    std::vector<int> levels;
    for (const std::string& line : lines) {
        int bass = 0, loudness = 0;
        if (std::sscanf(line.c_str(), "level bass %d loudness %d", &bass, &loudness) == 2)
            levels.push_back(bass);
    }
    return levels;
}

// Reads the trace every 50 ms, for up to 20 s, until `wanted` holds for the levels.
bool levelsShow(const PlayRun& run, const std::function<bool(const std::vector<int>&)>& wanted) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (wanted(bassLevels(run.traceLines()))) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

// The plug-in's bass level (bins 120 to 287, about 4.6 to 11 kHz at 44.1 kHz)
// is zero on the idle sink's silence, rises while a 6 kHz tone plays and
// falls back once it has stopped. A click on the panel's one entry changes
// nothing, and closing the window ends listen with status 0.
TEST_F(Listen, the_bass_level_follows_a_tone_played_into_the_default_output) {
    ScratchFolder folder;
    writeSineWav(folder.path("tone.wav"), 6000.0, 1.5);
    PlayRun run("listen");
    ASSERT_TRUE(run.start({})) << run.errorOutput();
    ASSERT_FALSE(run.waitForLine("level").empty()) << run.errorOutput();
    std::vector<int> before = bassLevels(run.traceLines());
    EXPECT_EQ(before.back(), 0) << "the idle sink is not silent";

    ASSERT_EQ(runTool({"paplay", folder.path("tone.wav")}), 0);
    size_t loudAt = 0;
    EXPECT_TRUE(levelsShow(run, [&](const std::vector<int>& levels) {
        for (loudAt = before.size(); loudAt < levels.size(); ++loudAt)
            if (levels[loudAt] > 20) return true;
        return false;
    })) << "the tone did not reach the plug-in";

    ASSERT_EQ(runTool({"xdotool", "mousemove", "--window", std::to_string(run.window()), "100",
                       "27", "click", "1"}),
              0);
    ASSERT_FALSE(run.waitForLine("play entry 0").empty());

    EXPECT_TRUE(levelsShow(run, [&](const std::vector<int>& levels) {
        return std::find(levels.begin() + std::min(loudAt, levels.size()), levels.end(), 0) !=
               levels.end();
    })) << "the bass level stayed up after the tone";
    run.closeWindow();
    EXPECT_EQ(run.wait(), 0) << run.errorOutput();
    EXPECT_NE(run.errorOutput().find("listened to Monitor of ZdTestSink"), std::string::npos)
        << run.errorOutput();
}

// Either missing piece is one line on stderr and status 1; no display points to render.
TEST_F(Listen, with_no_sound_server_or_no_display_it_says_so_in_one_line_and_fails) {
    ScratchFolder folder;
    auto refusal = [&](const std::string& environment) {
        std::string command =
            environment + " '" + playProgram() + "' listen 2>'" + folder.path("err") + "'";
        int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
        std::string error = readAll(folder.path("err"));
        EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
        return error;
    };
    std::string noServer = refusal("PULSE_SERVER=unix:" + folder.path("none"));
    EXPECT_EQ(noServer.rfind("zephyrdome: no sound server to listen to (", 0), 0u) << noServer;
    std::string noDisplay = refusal("env -u DISPLAY");
    EXPECT_EQ(noDisplay.rfind("zephyrdome: no display to show the plug-in on", 0), 0u) << noDisplay;
    EXPECT_NE(noDisplay.find("zephyrdome render"), std::string::npos) << noDisplay;
}
