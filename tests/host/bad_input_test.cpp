// Every bad input ends with one line naming the problem, a non-zero exit
// and no output that looks complete.
#include "run_host.h"
#include "test_audio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {
void expectRefused(const HostRun& run, const std::string& mention) {
    EXPECT_NE(run.exitCode, 0);
    std::vector<std::string> lines = run.errorLines();
    ASSERT_EQ(lines.size(), 1u) << run.errorOutput;
    EXPECT_EQ(lines[0].rfind("zephyrdome: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(mention), std::string::npos) << lines[0];
}

class BadInput : public ::testing::Test {
  protected:
    void SetUp() override { writeSineWav(folder.path("tone.wav"), 440.0, 0.3); }
    // Nothing was left behind but the input.
    void expectOnlyInput() {
        EXPECT_EQ(filesIn(folder.folder()), std::vector<std::string>{"tone.wav"});
    }
    ScratchFolder folder;
};
} // namespace

TEST_F(BadInput, aMissingAudioFile) {
    expectRefused(runHost({"render", folder.path("nope.flac"), "-o", folder.path("v.mp4")}),
                  "nope.flac");
    expectOnlyInput();
}

TEST_F(BadInput, anUndecodableAudioFile) {
    std::ofstream(folder.path("junk.mp3")) << "ID3 but nothing that decodes";
    expectRefused(runHost({"render", folder.path("tone.wav"), folder.path("junk.mp3"), "-o",
                           folder.path("v.mp4")}),
                  "cannot decode " + folder.path("junk.mp3") + ": not audio");
    EXPECT_EQ(filesIn(folder.folder()), (std::vector<std::string>{"junk.mp3", "tone.wav"}));
}

TEST_F(BadInput, anUnwritableOutput) {
    expectRefused(runHost({"render", folder.path("tone.wav"), "-o", folder.path("tone.wav/v.mp4")}),
                  "cannot write");
    expectRefused(runHost({"render", folder.path("tone.wav"), "-o", folder.path("tone.wav/f/")}),
                  "cannot create folder");
    expectOnlyInput();
}

TEST_F(BadInput, anOutputOfUnknownKind) {
    expectRefused(runHost({"render", folder.path("tone.wav"), "-o", folder.path("v.avi")}),
                  "unsupported output");
    expectOnlyInput();
}

TEST_F(BadInput, noFfmpegForVideo) {
    expectRefused(
        runHost({"render", folder.path("tone.wav"), "-o", folder.path("v.mp4")}, "/nonexistent"),
        "ffmpeg not found");
    expectOnlyInput();
}

// The encoder runs on its own thread: its failure still ends the run with its message.
TEST_F(BadInput, anEncoderThatStopsPartWay) {
    std::filesystem::create_directory(folder.path("bin"));
    std::ofstream(folder.path("bin/ffmpeg"))
        << "#!/bin/sh\n/usr/bin/head -c 3000000 >/dev/null\necho 'No space left on device' >&2\n"
           "exit 1\n";
    std::filesystem::permissions(folder.path("bin/ffmpeg"), std::filesystem::perms::owner_all);
    expectRefused(runHost({"render", folder.path("tone.wav"), "-o", folder.path("v.mp4")},
                          folder.path("bin")),
                  "ffmpeg stopped encoding: No space left on device");
    EXPECT_EQ(filesIn(folder.folder()), (std::vector<std::string>{"bin", "tone.wav"}));
}

TEST_F(BadInput, anUnknownOption) {
    HostRun run = runHost({"render", folder.path("tone.wav"), "--colour", "red", "-o", "x.mp4"});
    expectRefused(run, "unknown option '--colour'");
    EXPECT_EQ(run.exitCode, 2);
}

TEST_F(BadInput, aSizeForPngFrames) {
    expectRefused(runHost({"render", folder.path("tone.wav"), "--size", "1920x1080", "-o",
                           folder.path("frames/")}),
                  "--size needs a video output");
    expectOnlyInput();
}

// Every option's bad values, each refused in one line naming the option and
// the value, with status 2, before anything runs.
TEST_F(BadInput, badOptionValues) {
    const std::vector<std::vector<std::string>> cases = {
        {"render", "--size", "1920x1081"},
        {"render", "--size", "1921x1080"},
        {"render", "--size", " 1920x1080"},
        {"render", "--size", "+1920x1080"},
        {"render", "--size", "1920x 1080"},
        {"render", "--size", "1920x1080x"},
        {"render", "--size", "1920X1080"},
        {"render", "--size", "14x14"},
        {"render", "--size", "7682x4320"},
        {"render", "--size", "x1080"},
        {"render", "--scale-filter", "bicubic"},
        {"render", "--quality", "high"},
        {"render", "--quality", "Good"},
        {"render", "--duration", "1e3"},
        {"render", "--start", "0x10"},
        {"render", "--key", "5s:ESC"},
        {"render", "--click", "1s:300"},
        {"play", "--zoom", "5"},
        {"play", "--zoom", "2.0"},
        {"play", "--scale-filter", "bilinear"},
        {"play", "--duration", "0"},
        {"listen", "--zoom", "0"},
        {"listen", "--scale-filter", ""},
        {"listen", "--duration", "-1s"},
    };
    for (const std::vector<std::string>& bad : cases) {
        SCOPED_TRACE(bad[0] + " " + bad[1] + " '" + bad[2] + "'");
        std::vector<std::string> args = bad;
        if (bad[0] == "render") args.insert(args.end(), {"-o", folder.path("v.mp4")});
        HostRun run = runHost(args);
        expectRefused(run, "bad " + bad[1] + " '" + bad[2] + "'");
        EXPECT_EQ(run.exitCode, 2);
    }
    expectOnlyInput();
}

TEST_F(BadInput, aBadKey) {
    expectRefused(runHost({"render", "--key", "5s:ESC", "-o", folder.path("v.mp4")}),
                  "bad --key '5s:ESC'");
    expectOnlyInput();
}

TEST_F(BadInput, aBadVisRecording) {
    std::ofstream(folder.path("rec.zdvis")) << std::string(3000, 'z');
    expectRefused(runHost({"render", folder.path("tone.wav"), "--vis-in", folder.path("rec.zdvis"),
                           "-o", folder.path("f/")}),
                  "bad magic");
    EXPECT_EQ(filesIn(folder.folder()), (std::vector<std::string>{"rec.zdvis", "tone.wav"}));
}

TEST_F(BadInput, aMissingPlugIn) {
    expectRefused(runHost({"render", folder.path("tone.wav"), "--plugin", folder.path("none.so"),
                           "-o", folder.path("f/")}),
                  "cannot load plug-in");
}

TEST_F(BadInput, aStartPastTheEnd) {
    expectRefused(
        runHost({"render", folder.path("tone.wav"), "--start", "10s", "-o", folder.path("v.mp4")}),
        "nothing to render");
    expectOnlyInput();
}
