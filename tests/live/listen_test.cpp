// `zephyrdome listen` on a desktop with a private sound server, PulseAudio
// and PipeWire alike: a tone played into a null sink reaches the plug-in
// through the sink's monitor, a named source stays recorded while the
// default output moves, and without one the default is followed.
#include "desktop.h"
#include "host/test_audio.h"
#include "play_run.h"
#include "sound_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

class Listen : public ::testing::TestWithParam<SoundServerKind> {
  protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(startDesktop(error)) << error;
    }
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(startSoundServer(GetParam(), error)) << error;
        writeSineWav(folder_.path("tone.wav"), 6000.0, 1.5);
    }
    std::string tone() const { return folder_.path("tone.wav"); }

    ScratchFolder folder_;
};

struct TracedFrame {
    double at = 0.0; // when it took its sound, on the trace's clock
    int bass = 0;
};

// The frames of the trace: "frame N due D at T" then "level bass B loudness L".
std::vector<TracedFrame> tracedFrames(const std::vector<std::string>& lines) {
    std::vector<TracedFrame> frames;
    for (const std::string& line : lines) {
        long long index = 0;
        double due = 0.0, at = 0.0;
        int bass = 0, loudness = 0;
        if (std::sscanf(line.c_str(), "frame %lld due %lf at %lf", &index, &due, &at) == 3)
            frames.push_back({at, 0});
        else if (std::sscanf(line.c_str(), "level bass %d loudness %d", &bass, &loudness) == 2 &&
                 !frames.empty())
            frames.back().bass = bass;
    }
    return frames;
}

std::vector<int> bassLevels(const std::vector<std::string>& lines) {
    std::vector<int> levels;
    for (const TracedFrame& frame : tracedFrames(lines))
        levels.push_back(frame.bass);
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

bool bassRises(const PlayRun& run, size_t after) {
    return levelsShow(run, [&](const std::vector<int>& levels) {
        return std::any_of(levels.begin() + std::min(after, levels.size()), levels.end(),
                           [](int bass) { return bass > 20; });
    });
}

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The program's exit status and what it wrote on stderr.
struct Outcome {
    int status = -1;
    std::string error;
};

// `zephyrdome listen ARGS` to its end; with `interruptAfter`, Ctrl-C that long after it started.
Outcome runListen(const std::vector<std::string>& args, const std::string& errorFile,
                  std::chrono::milliseconds interruptAfter = std::chrono::milliseconds(-1)) {
    std::string command = "exec '" + playProgram() + "' listen";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    pid_t pid = fork();
    if (pid == 0) {
        std::string redirected = command + " 2>'" + errorFile + "'";
        execl("/bin/sh", "sh", "-c", redirected.c_str(), nullptr);
        _exit(127);
    }
    if (interruptAfter.count() >= 0) {
        std::this_thread::sleep_for(interruptAfter);
        kill(pid, SIGINT);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readAll(errorFile)};
}

int lineCount(const std::string& text) {
    return int(std::count(text.begin(), text.end(), '\n'));
}

std::string serverName(const ::testing::TestParamInfo<SoundServerKind>& info) {
    return info.param == SoundServerKind::pipewire ? "PipeWire" : "PulseAudio";
}

} // namespace

// The plug-in's bass level (bins 120 to 287, about 4.6 to 11 kHz at 44.1 kHz)
// is zero on the idle sink's silence and rises with a 6 kHz tone from the
// first frame that takes its sound 30 ms after the tone arrived (its 1152
// samples are 26 ms), so a capture that handed over older sound fails; it
// falls back once the tone has stopped. A click on the panel's one entry
// changes nothing, and closing the window ends listen with status 0.
TEST_P(Listen, the_bass_level_follows_a_tone_from_the_first_frame_after_it_arrives) {
    PlayRun run("listen");
    ASSERT_TRUE(run.start({})) << run.errorOutput();
    ASSERT_FALSE(run.waitForLine("level").empty()) << run.errorOutput();
    std::vector<int> before = bassLevels(run.traceLines());
    EXPECT_EQ(before.back(), 0) << "the idle sink is not silent";

    ASSERT_EQ(runTool({"paplay", tone()}), 0);
    std::string rose = run.waitForLine("sound rose at ");
    ASSERT_FALSE(rose.empty()) << "the tone did not reach the capture; bass levels: "
                               << ::testing::PrintToString(bassLevels(run.traceLines()));
    double roseAt = std::stod(rose.substr(14));
    TracedFrame first;
    EXPECT_TRUE(levelsShow(run, [&](const std::vector<int>&) {
        for (const TracedFrame& frame : tracedFrames(run.traceLines()))
            if (frame.at >= roseAt + 30.0) {
                first = frame;
                return true;
            }
        return false;
    }));
    EXPECT_GT(first.bass, 20) << "the frame taken at " << first.at << " ms shows no tone, which "
                              << "arrived at " << roseAt << " ms";

    ASSERT_EQ(runTool({"xdotool", "mousemove", "--window", std::to_string(run.window()), "100",
                       "27", "click", "1"}),
              0);
    ASSERT_FALSE(run.waitForLine("play entry 0").empty());
    size_t loud = bassLevels(run.traceLines()).size();
    EXPECT_TRUE(levelsShow(run, [&](const std::vector<int>& levels) {
        return std::find(levels.begin() + std::min(loud, levels.size()), levels.end(), 0) !=
               levels.end();
    })) << "the bass level stayed up after the tone";
    run.closeWindow();
    EXPECT_EQ(run.wait(), 0) << run.errorOutput();
    EXPECT_NE(run.errorOutput().find("listened to Monitor of ZdSpeakers"), std::string::npos)
        << run.errorOutput();
}

// The tone goes to the named source's sink after the default output has
// moved elsewhere, and the panel never changes its name; removing that sink
// ends the run with one line and status 1.
TEST_P(Listen, a_named_source_stays_recorded_while_the_default_moves_and_its_loss_ends_it) {
    PlayRun run("listen");
    ASSERT_TRUE(run.start({"--source", "zd_speakers.monitor"})) << run.errorOutput();
    ASSERT_FALSE(run.waitForLine("level").empty()) << run.errorOutput();
    ASSERT_EQ(pactl({"set-default-sink", "zd_headphones"}), 0);
    size_t before = bassLevels(run.traceLines()).size();
    ASSERT_EQ(runTool({"paplay", "-d", "zd_speakers", tone()}), 0);
    EXPECT_TRUE(bassRises(run, before)) << "the recording left zd_speakers";
    for (const std::string& line : run.traceLines())
        EXPECT_NE(line.rfind("source ", 0), 0u) << line;

    ASSERT_TRUE(removeSink("zd_speakers"));
    EXPECT_EQ(run.wait(), 1);
    std::string error = run.errorOutput();
    EXPECT_EQ(lineCount(error), 1) << error;
    EXPECT_NE(error.find("'zd_speakers.monitor' (Monitor of ZdSpeakers) went away"),
              std::string::npos)
        << error;
}

// The default output moves: the recording, the panel's entry and the
// summary move with it.
TEST_P(Listen, without_a_source_it_follows_the_default_output_and_names_it) {
    PlayRun run("listen");
    ASSERT_TRUE(run.start({})) << run.errorOutput();
    ASSERT_FALSE(run.waitForLine("level").empty()) << run.errorOutput();
    ASSERT_EQ(pactl({"set-default-sink", "zd_headphones"}), 0);
    EXPECT_FALSE(run.waitForLine("source Monitor of ZdHeadphones").empty());
    EXPECT_FALSE(run.waitForLine("title 0 Monitor of ZdHeadphones").empty());
    size_t before = bassLevels(run.traceLines()).size();
    ASSERT_EQ(runTool({"paplay", "-d", "zd_headphones", tone()}), 0);
    EXPECT_TRUE(bassRises(run, before)) << "the recording stayed on zd_speakers";
    run.closeWindow();
    EXPECT_EQ(run.wait(), 0) << run.errorOutput();
    EXPECT_NE(run.errorOutput().find("listened to Monitor of ZdHeadphones"), std::string::npos)
        << run.errorOutput();
}

// A source that is no monitor, made between the two sinks, is listed after both.
TEST_P(Listen, list_sources_prints_the_names_source_takes_monitors_first) {
    ASSERT_EQ(
        pactl({"load-module", "module-remap-source", "source_name=zd_microphone",
               "master=zd_speakers.monitor", "source_properties=device.description=ZdMicrophone"}),
        0);
    ASSERT_TRUE(removeSink("zd_headphones"));
    std::string error;
    ASSERT_TRUE(startSoundServer(GetParam(), error)) << error;
    std::string listing;
    EXPECT_EQ(runTool({playProgram(), "listen", "--list-sources"}, &listing), 0);
    EXPECT_EQ(listing, "zd_speakers.monitor    Monitor of ZdSpeakers\n"
                       "zd_headphones.monitor  Monitor of ZdHeadphones\n"
                       "zd_microphone          ZdMicrophone\n");
    std::string modules;
    pactl({"list", "short", "modules"}, &modules);
    std::istringstream lines(modules);
    for (std::string line; std::getline(lines, line);)
        if (line.find("source_name=zd_microphone") != std::string::npos)
            pactl({"unload-module", line.substr(0, line.find('\t'))});
}

INSTANTIATE_TEST_SUITE_P(OnEachServer, Listen,
                         ::testing::Values(SoundServerKind::pulseaudio, SoundServerKind::pipewire),
                         serverName);

// Either missing piece is one line on stderr and status 1; no display points to render.
TEST(ListenRefusal, with_no_sound_server_or_no_display_it_says_so_in_one_line_and_fails) {
    std::string error;
    ASSERT_TRUE(startDesktop(error)) << error;
    ScratchFolder folder;
    auto refusal = [&](const std::string& environment) {
        std::string command =
            environment + " '" + playProgram() + "' listen 2>'" + folder.path("err") + "'";
        int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
        std::string error = readAll(folder.path("err"));
        EXPECT_EQ(lineCount(error), 1) << error;
        return error;
    };
    std::string noServer = refusal("PULSE_SERVER=unix:" + folder.path("none"));
    EXPECT_EQ(noServer.rfind("zephyrdome: no sound server to listen to (", 0), 0u) << noServer;
    EXPECT_NE(noServer.find("pipewire-pulse"), std::string::npos) << noServer;
    std::string noDisplay = refusal("env -u DISPLAY");
    EXPECT_EQ(noDisplay.rfind("zephyrdome: no display to show the plug-in on", 0), 0u) << noDisplay;
    EXPECT_NE(noDisplay.find("zephyrdome render"), std::string::npos) << noDisplay;
}

// Without WirePlumber PipeWire's Pulse server names no default output and
// never makes a stream ready. listen says so in one line, after 5 s for the
// stream, and Ctrl-C during that wait ends it quietly with status 0.
TEST(ListenWithoutSessionManager, every_wait_for_the_server_ends_with_one_line_or_ctrl_c) {
    std::string error;
    ASSERT_TRUE(startDesktop(error)) << error;
    ASSERT_TRUE(startSoundServer(SoundServerKind::pipewire, error)) << error;
    stopSessionManager();
    ScratchFolder folder;
    Outcome noDefault = runListen({}, folder.path("err"));
    EXPECT_EQ(noDefault.status, 1);
    EXPECT_EQ(lineCount(noDefault.error), 1) << noDefault.error;
    EXPECT_NE(noDefault.error.find("no default output"), std::string::npos) << noDefault.error;

    Outcome interrupted = runListen({"--source", "zd_speakers.monitor"}, folder.path("err"),
                                    std::chrono::milliseconds(1000));
    EXPECT_EQ(interrupted.status, 0);
    EXPECT_EQ(interrupted.error, "");

    Outcome noStream = runListen({"--source", "zd_speakers.monitor"}, folder.path("err"));
    EXPECT_EQ(noStream.status, 1);
    EXPECT_EQ(lineCount(noStream.error), 1) << noStream.error;
    EXPECT_NE(noStream.error.find("no stream from 'zd_speakers.monitor' within 5 s; is its "
                                  "session manager"),
              std::string::npos)
        << noStream.error;
}
