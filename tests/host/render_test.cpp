// Whole renders through the zephyrdome program: frames on disk, video that
// players accept, recordings that replay, and a playlist the plug-in steers.
#include "audio/vis_file.h"
#include "run_host.h"
#include "test_audio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {
std::string ffprobe(const std::string& file, const std::string& entries) {
    std::string command = "ffprobe -v error -show_entries " + entries +
                          " -of default=noprint_wrappers=1 '" + file + "'";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[256];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    if (pipe) pclose(pipe);
    return output;
}

int peakBin(const VisFrame& frame) {
    return static_cast<int>(std::max_element(frame.spectrum, frame.spectrum + visFrameSamples) -
                            frame.spectrum);
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

constexpr double hzPerBin = 44100.0 / 1152;
} // namespace

TEST(Render, aOneSecondClipGivesFortyNonBlackPngFrames) {
    ScratchFolder folder;
    writeSineWav(folder.path("tone.wav"), 440.0, 1.0);
    HostRun run = runHost({"render", folder.path("tone.wav"), "-o", folder.path("frames")});
    ASSERT_EQ(run.exitCode, 0) << run.errorOutput;
    std::vector<std::string> frames = filesIn(folder.path("frames"));
    ASSERT_EQ(frames.size(), 40u);
    EXPECT_EQ(frames.front(), "frame00000.png");
    EXPECT_EQ(frames.back(), "frame00039.png");
    for (const std::string& name : {frames[0], frames[20], frames[39]}) {
        PngPicture picture;
        ASSERT_TRUE(readPng(folder.path("frames/" + name), picture)) << name;
        EXPECT_EQ(picture.width, 634);
        EXPECT_EQ(picture.height, 458);
        EXPECT_GT(picture.litPixels(), 634 * 458 / 50) << name;
    }
    // Not a terminal: no progress bar, only the summary line.
    ASSERT_EQ(run.errorLines().size(), 1u) << run.errorOutput;
    EXPECT_NE(run.errorLines()[0].find("40 PNG frames"), std::string::npos);
}

TEST(Render, startAndDurationPickThePartRenderedAndAPatternNamesTheFrames) {
    ScratchFolder folder;
    writeSineWav(folder.path("tone.wav"), 440.0, 3.0);
    HostRun run = runHost({"render", folder.path("tone.wav"), "--start", "1s", "--duration",
                           "500ms", "-q", "-o", folder.path("out/f%03d.png")});
    ASSERT_EQ(run.exitCode, 0) << run.errorOutput;
    EXPECT_EQ(run.errorOutput, "");
    std::vector<std::string> frames = filesIn(folder.path("out"));
    ASSERT_EQ(frames.size(), 20u);
    EXPECT_EQ(frames.back(), "f019.png");
}

TEST(Render, mp4HasTheVideoSizeDurationAndAnAudioStream) {
    ScratchFolder folder;
    writeSineWav(folder.path("tone.wav"), 440.0, 1.5, 48000);
    HostRun run = runHost({"render", folder.path("tone.wav"), "-o", folder.path("v.mp4")});
    ASSERT_EQ(run.exitCode, 0) << run.errorOutput;
    EXPECT_EQ(filesIn(folder.folder()), (std::vector<std::string>{"tone.wav", "v.mp4"}));
    std::string video = ffprobe(folder.path("v.mp4"),
                                "stream=codec_name,width,height,pix_fmt,r_frame_rate,nb_frames");
    EXPECT_NE(video.find("codec_name=h264"), std::string::npos) << video;
    EXPECT_NE(video.find("width=634\nheight=458"), std::string::npos) << video;
    EXPECT_NE(video.find("pix_fmt=yuv420p"), std::string::npos) << video;
    EXPECT_NE(video.find("r_frame_rate=40/1"), std::string::npos) << video;
    EXPECT_NE(video.find("nb_frames=60"), std::string::npos) << video;
    std::string audio = ffprobe(folder.path("v.mp4"), "stream=codec_type,sample_rate,channels");
    EXPECT_NE(audio.find("codec_type=audio\nsample_rate=48000\nchannels=2"), std::string::npos)
        << audio;
    double seconds = std::stod(ffprobe(folder.path("v.mp4"), "format=duration").substr(9));
    EXPECT_NEAR(seconds, 1.5, 0.05);
}

// WebM carries VP9 and Opus; a GIF has the asked size, 20 frames a second and
// no sound, and a clip over 30 s is refused before anything is written.
TEST(Render, webmAndGifOutputsAndAGifTooLongForTheFormat) {
    ScratchFolder folder;
    writeSineWav(folder.path("tone.wav"), 440.0, 1.0);
    HostRun run = runHost({"render", folder.path("tone.wav"), "-q", "--quality", "draft", "-o",
                           folder.path("v.webm")});
    ASSERT_EQ(run.exitCode, 0) << run.errorOutput;
    std::string webm = ffprobe(folder.path("v.webm"), "stream=codec_name,width,height,sample_rate");
    EXPECT_EQ(webm, "codec_name=vp9\nwidth=634\nheight=458\ncodec_name=opus\nsample_rate=48000\n");
    run = runHost(
        {"render", folder.path("tone.wav"), "-q", "--size", "320x240", "-o", folder.path("v.gif")});
    ASSERT_EQ(run.exitCode, 0) << run.errorOutput;
    std::string gif = ffprobe(folder.path("v.gif"), "stream=codec_name,width,height,r_frame_rate");
    EXPECT_EQ(gif, "codec_name=gif\nwidth=320\nheight=240\nr_frame_rate=20/1\n");
    writeSineWav(folder.path("long.wav"), 440.0, 31.0);
    run = runHost({"render", folder.path("long.wav"), "-o", folder.path("long.gif")});
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.errorLines().size(), 1u) << run.errorOutput;
    EXPECT_NE(run.errorLines()[0].find("a GIF holds 30 s at most; this clip runs 31.0 s"),
              std::string::npos)
        << run.errorOutput;
    EXPECT_EQ(filesIn(folder.folder()),
              (std::vector<std::string>{"long.wav", "tone.wav", "v.gif", "v.webm"}));
}

// A square video from the 634x458 frames: the picture fills the width and
// black bars take the rest, top and bottom alike; nothing is stretched.
TEST(Render, sizeScalesTheVideoAndLetterboxesInBlack) {
    ScratchFolder folder;
    writeSineWav(folder.path("tone.wav"), 440.0, 0.5);
    HostRun run = runHost(
        {"render", folder.path("tone.wav"), "-q", "--size", "800x800", "-o", folder.path("v.mp4")});
    ASSERT_EQ(run.exitCode, 0) << run.errorOutput;
    std::string video = ffprobe(folder.path("v.mp4"), "stream=width,height");
    EXPECT_NE(video.find("width=800\nheight=800"), std::string::npos) << video;
    std::string frame = folder.path("last.png");
    std::string command = "ffmpeg -v error -sseof -0.1 -i '" + folder.path("v.mp4") +
                          "' -update 1 -frames:v 1 '" + frame + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    PngPicture picture;
    ASSERT_TRUE(readPng(frame, picture));
    ASSERT_EQ(picture.width, 800);
    // 458 * 800 / 634 = 578 rows of picture between two bars of 111 rows.
    auto rowLit = [&](int y) {
        int lit = 0;
        for (int x = 0; x < picture.width; ++x) {
            const unsigned char* p = &picture.rgb[(size_t(y) * picture.width + x) * 3];
            lit += std::max({p[0], p[1], p[2]}) > 16;
        }
        return lit;
    };
    int litRows = 0, firstLit = -1, lastLit = -1;
    for (int y = 0; y < picture.height; ++y) {
        if (!rowLit(y)) continue;
        ++litRows;
        if (firstLit < 0) firstLit = y;
        lastLit = y;
    }
    EXPECT_GE(firstLit, 108);
    EXPECT_LE(lastLit, 800 - 108);
    // The scene spans most of the picture's height (the funnel, the panel text).
    EXPECT_GT(litRows, 578 / 2);
}

TEST(Render, aRecordingReplaysToTheSameFrames) {
    ScratchFolder folder;
    writeSineWav(folder.path("tone.wav"), 1000.0, 0.5);
    HostRun first = runHost({"render", folder.path("tone.wav"), "-q", "--key", "0.2s:B",
                             "--vis-out", folder.path("rec.zdvis"), "-o", folder.path("a")});
    ASSERT_EQ(first.exitCode, 0) << first.errorOutput;
    HostRun replay = runHost({"render", folder.path("tone.wav"), "-q", "--key", "0.2s:B",
                              "--vis-in", folder.path("rec.zdvis"), "-o", folder.path("b")});
    ASSERT_EQ(replay.exitCode, 0) << replay.errorOutput;
    std::vector<std::string> frames = filesIn(folder.path("a"));
    ASSERT_EQ(frames.size(), 20u);
    ASSERT_EQ(filesIn(folder.path("b")), frames);
    for (const std::string& name : frames)
        ASSERT_EQ(fileBytes(folder.path("a/" + name)), fileBytes(folder.path("b/" + name))) << name;

    std::vector<VisFrame> recorded;
    std::string error;
    ASSERT_TRUE(readVisFile(folder.path("rec.zdvis"), recorded, error)) << error;
    ASSERT_EQ(recorded.size(), 20u);
    EXPECT_NEAR(peakBin(recorded[5]), 1000.0 / hzPerBin, 1);
}

TEST(Render, thePlaylistPlaysEntryAfterEntry) {
    ScratchFolder folder;
    writeSineWav(folder.path("low.wav"), 440.0, 0.5);
    writeSineWav(folder.path("high.wav"), 3000.0, 0.5);
    HostRun run = runHost({"render", folder.path("low.wav"), folder.path("high.wav"), "-q",
                           "--vis-out", folder.path("rec.zdvis"), "-o", folder.path("f")});
    ASSERT_EQ(run.exitCode, 0) << run.errorOutput;
    std::vector<VisFrame> frames;
    std::string error;
    ASSERT_TRUE(readVisFile(folder.path("rec.zdvis"), frames, error)) << error;
    ASSERT_EQ(frames.size(), 40u);
    EXPECT_NEAR(peakBin(frames[10]), 440.0 / hzPerBin, 1);
    EXPECT_NEAR(peakBin(frames[30]), 3000.0 / hzPerBin, 1);
}

TEST(Render, aClickOnATitleSwitchesToThatEntry) {
    ScratchFolder folder;
    writeSineWav(folder.path("low.wav"), 440.0, 2.0);
    writeSineWav(folder.path("high.wav"), 3000.0, 2.0);
    // The second title's line spans y 35 to 49 from the top of the window.
    HostRun run = runHost({"render", folder.path("low.wav"), folder.path("high.wav"), "-q",
                           "--click", "0.5s:100,42", "--duration", "1s", "--vis-out",
                           folder.path("rec.zdvis"), "-o", folder.path("f")});
    ASSERT_EQ(run.exitCode, 0) << run.errorOutput;
    std::vector<VisFrame> frames;
    std::string error;
    ASSERT_TRUE(readVisFile(folder.path("rec.zdvis"), frames, error)) << error;
    ASSERT_EQ(frames.size(), 40u);
    EXPECT_NEAR(peakBin(frames[15]), 440.0 / hzPerBin, 1);
    EXPECT_NEAR(peakBin(frames[25]), 3000.0 / hzPerBin, 1);
}

TEST(Render, aScriptedKeyReachesThePlugIn) {
    ScratchFolder folder;
    writeSineWav(folder.path("tone.wav"), 440.0, 0.5);
    // F3 hides the scene: only the overlay text is left to light pixels.
    HostRun run = runHost(
        {"render", folder.path("tone.wav"), "-q", "--key", "0.25s:F3", "-o", folder.path("f")});
    ASSERT_EQ(run.exitCode, 0) << run.errorOutput;
    PngPicture before, after;
    ASSERT_TRUE(readPng(folder.path("f/frame00005.png"), before));
    ASSERT_TRUE(readPng(folder.path("f/frame00015.png"), after));
    EXPECT_GT(before.litPixels(), 5000);
    EXPECT_LT(after.litPixels(), before.litPixels() / 5);
}

TEST(Render, withNoAudioTheBuiltInDemoPlays) {
    ScratchFolder folder;
    HostRun run = runHost({"render", "--duration", "0.5s", "-o", folder.path("demo")});
    ASSERT_EQ(run.exitCode, 0) << run.errorOutput;
    std::vector<std::string> frames = filesIn(folder.path("demo"));
    ASSERT_EQ(frames.size(), 20u);
    PngPicture picture;
    ASSERT_TRUE(readPng(folder.path("demo/" + frames[19]), picture));
    EXPECT_GT(picture.litPixels(), 634 * 458 / 50);
}

// Some hosts call onRender on their decoder thread, a new one for every
// entry, while keys and clicks arrive on their main thread.
TEST(Render, aHostRenderingOnItsOwnThreadGetsTheSameFramesAsOneThatDoesNot) {
    ScratchFolder folder;
    writeSineWav(folder.path("low.wav"), 440.0, 1.0);
    writeSineWav(folder.path("high.wav"), 3000.0, 1.0);
    const std::vector<std::string> script = {
        "-q",      "--duration",  "1.5s",  "--key",  "0.1s:B", "--key", "0.2s:UP:0.6s",
        "--click", "0.5s:100,42", "--key", "0.9s:H", "--key",  "1.1s:H"};
    std::vector<std::string> single = {"render", folder.path("low.wav"), folder.path("high.wav"),
                                       "-o", folder.path("single")};
    std::vector<std::string> threaded = {"render", folder.path("low.wav"),  folder.path("high.wav"),
                                         "-o",     folder.path("threaded"), "--render-thread"};
    single.insert(single.end(), script.begin(), script.end());
    threaded.insert(threaded.end(), script.begin(), script.end());
    HostRun first = runHost(single);
    ASSERT_EQ(first.exitCode, 0) << first.errorOutput;
    HostRun second = runHost(threaded);
    ASSERT_EQ(second.exitCode, 0) << second.errorOutput;
    std::vector<std::string> frames = filesIn(folder.path("single"));
    ASSERT_EQ(frames.size(), 60u);
    ASSERT_EQ(filesIn(folder.path("threaded")), frames);
    for (const std::string& name : frames)
        ASSERT_EQ(fileBytes(folder.path("single/" + name)),
                  fileBytes(folder.path("threaded/" + name)))
            << name;
    // The frames moved: the picture after the click is not the first one.
    EXPECT_NE(fileBytes(folder.path("threaded/" + frames[1])),
              fileBytes(folder.path("threaded/" + frames[59])));
}
