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
#include <fstream>
#include <functional>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

class Listen : public ::testing::TestWithParam<SoundServerKind> {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(startDesktop(error) && startSoundServer(GetParam(), error)) << error;
        writeSineWav(folder_.path("tone.wav"), 6000.0, 1.5);
    }
    std::string tone() const { return folder_.path("tone.wav"); }

    ScratchFolder folder_;
};

struct TracedFrame {
    double at = 0.0; // when it took its sound, on the trace's clock
    int bass = 0;
};

// "frame N due D at T", then "level bass B loudness L".
std::vector<TracedFrame> tracedFrames(const PlayRun& run) {
    std::vector<TracedFrame> frames;
    for (const std::string& line : run.traceLines()) {
        double due = 0.0, at = 0.0;
        int bass = 0;
        if (std::sscanf(line.c_str(), "frame %*d due %lf at %lf", &due, &at) == 2)
            frames.push_back({at, 0});
        else if (std::sscanf(line.c_str(), "level bass %d", &bass) == 1 && !frames.empty())
            frames.back().bass = bass;
    }
    return frames;
}

// Waits until a frame after the first `after` shows such a bass level.
bool bassShows(const PlayRun& run, size_t after, const std::function<bool(int)>& wanted) {
    return waitUntil([&] {
        std::vector<TracedFrame> frames = tracedFrames(run);
        return std::any_of(frames.begin() + std::min(after, frames.size()), frames.end(),
                           [&](const TracedFrame& frame) { return wanted(frame.bass); });
    });
}

bool loud(int bass) {
    return bass > 20;
}

// The exit status of `env ENVIRONMENT zephyrdome listen WORDS` and its
// stderr; with `interruptAfter`, Ctrl-C that long after it started.
struct Outcome {
    int status = -1;
    std::string error;
};

Outcome runListen(const std::string& words, const std::string& environment = "",
                  std::chrono::milliseconds interruptAfter = std::chrono::milliseconds(-1)) {
    ScratchFolder folder;
    std::string command = "exec env " + environment + " '" + playProgram() + "' listen " + words +
                          " 2>'" + folder.path("err") + "'";
    pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
        _exit(127);
    }
    if (interruptAfter.count() >= 0) {
        std::this_thread::sleep_for(interruptAfter);
        kill(pid, SIGINT);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::ifstream in(folder.path("err"));
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            std::string(std::istreambuf_iterator<char>(in), {})};
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
    EXPECT_EQ(tracedFrames(run).back().bass, 0) << "the idle sink is not silent";

    ASSERT_EQ(runTool({"paplay", tone()}), 0);
    std::string rose = run.waitForLine("sound rose at ");
    ASSERT_FALSE(rose.empty()) << "the tone did not reach the capture";
    double roseAt = std::stod(rose.substr(14));
    TracedFrame first;
    EXPECT_TRUE(waitUntil([&] {
        for (const TracedFrame& frame : tracedFrames(run)) {
            if (frame.at < roseAt + 30.0) continue;
            first = frame;
            return true;
        }
        return false;
    }));
    EXPECT_TRUE(loud(first.bass)) << "the frame taken at " << first.at << " ms shows no tone, "
                                  << "which arrived at " << roseAt << " ms";

    ASSERT_EQ(runTool({"xdotool", "mousemove", "--window", std::to_string(run.window()), "100",
                       "27", "click", "1"}),
              0);
    ASSERT_FALSE(run.waitForLine("play entry 0").empty());
    EXPECT_TRUE(bassShows(run, tracedFrames(run).size(), [](int bass) { return bass == 0; }))
        << "the bass level stayed up after the tone";
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
    size_t before = tracedFrames(run).size();
    ASSERT_EQ(runTool({"paplay", "-d", "zd_speakers", tone()}), 0);
    EXPECT_TRUE(bassShows(run, before, loud)) << "the recording left zd_speakers";
    for (const std::string& line : run.traceLines())
        EXPECT_NE(line.rfind("source ", 0), 0u) << line;

    ASSERT_TRUE(unloadModule("sink_name=zd_speakers"));
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
    size_t before = tracedFrames(run).size();
    ASSERT_EQ(runTool({"paplay", "-d", "zd_headphones", tone()}), 0);
    EXPECT_TRUE(bassShows(run, before, loud)) << "the recording stayed on zd_speakers";
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
    ASSERT_TRUE(unloadModule("sink_name=zd_headphones"));
    std::string error;
    ASSERT_TRUE(startSoundServer(GetParam(), error)) << error;
    std::string listing;
    EXPECT_EQ(runTool({playProgram(), "listen", "--list-sources"}, &listing), 0);
    EXPECT_EQ(listing, "zd_speakers.monitor    Monitor of ZdSpeakers\n"
                       "zd_headphones.monitor  Monitor of ZdHeadphones\n"
                       "zd_microphone          ZdMicrophone\n");
    EXPECT_TRUE(unloadModule("source_name=zd_microphone"));
}

INSTANTIATE_TEST_SUITE_P(OnEachServer, Listen,
                         ::testing::Values(SoundServerKind::pulseaudio, SoundServerKind::pipewire),
                         serverName);

// Either missing piece is one line on stderr and status 1; no display points to render.
TEST(ListenRefusal, with_no_sound_server_or_no_display_it_says_so_in_one_line_and_fails) {
    std::string error;
    ASSERT_TRUE(startDesktop(error)) << error;
    Outcome noServer = runListen("", "PULSE_SERVER=unix:/nonexistent/native");
    Outcome noDisplay = runListen("", "-u DISPLAY");
    for (const Outcome& outcome : {noServer, noDisplay}) {
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(lineCount(outcome.error), 1) << outcome.error;
    }
    EXPECT_EQ(noServer.error.rfind("zephyrdome: no sound server to listen to (", 0), 0u)
        << noServer.error;
    EXPECT_NE(noServer.error.find("pipewire-pulse"), std::string::npos) << noServer.error;
    EXPECT_EQ(noDisplay.error.rfind("zephyrdome: no display to show the plug-in on", 0), 0u)
        << noDisplay.error;
    EXPECT_NE(noDisplay.error.find("zephyrdome render"), std::string::npos) << noDisplay.error;
}

// Without WirePlumber PipeWire's Pulse server names no default output and
// never makes a stream ready. listen says so in one line, after 5 s for the
// stream, and Ctrl-C during that wait ends it quietly with status 0.
TEST(ListenWithoutSessionManager, every_wait_for_the_server_ends_with_one_line_or_ctrl_c) {
    std::string error;
    ASSERT_TRUE(startDesktop(error)) << error;
    ASSERT_TRUE(startSoundServer(SoundServerKind::pipewire, error)) << error;
    stopSessionManager();
    Outcome noDefault = runListen("");
    EXPECT_EQ(noDefault.status, 1);
    EXPECT_EQ(lineCount(noDefault.error), 1) << noDefault.error;
    EXPECT_NE(noDefault.error.find("no default output"), std::string::npos) << noDefault.error;

    Outcome interrupted =
        runListen("--source zd_speakers.monitor", "", std::chrono::milliseconds(1000));
    EXPECT_EQ(interrupted.status, 0);
    EXPECT_EQ(interrupted.error, "");

    Outcome noStream = runListen("--source zd_speakers.monitor");
    EXPECT_EQ(noStream.status, 1);
    EXPECT_EQ(lineCount(noStream.error), 1) << noStream.error;
    EXPECT_NE(noStream.error.find("no stream from 'zd_speakers.monitor' within 5 s; is its "
                                  "session manager"),
              std::string::npos)
        << noStream.error;
}
