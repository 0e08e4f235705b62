// Every frame the user sees stays bit-identical: the demo and a scripted run
// through every mode, rendered to PNG by the real program, hashed frame by
// frame and compared with the hashes kept in frame_hashes/. The hashes hold
// only for the Mesa they were made with; elsewhere the test skips.
//
//   frame_hashes_test             compare (exit 77: skipped, another Mesa)
//   frame_hashes_test --record    write frame_hashes/*.txt from this build
#include "run_host.h"
#include "test_audio.h"

#include "gl_fixture.h"

#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {
bool recording = false;
std::string skipReason; // empty: nothing skipped

// GL_VERSION and GL_RENDERER of the fixture's context, made the way the plug-in makes its own.
std::string mesaIdentity() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return std::string(version ? version : "?") + " | " + (renderer ? renderer : "?");
}

// FNV-1a, 64 bits, over the RGB bytes of the frame, rows top-down.
std::string frameHash(const PngPicture& picture) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char byte : picture.rgb)
        hash = (hash ^ byte) * 0x100000001b3ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

struct HashList {
    std::string mesa;
    std::vector<std::string> frames;
};

std::string listPath(const std::string& name) {
    return std::string(ZD_FRAME_HASHES_DIR) + "/" + name + ".txt";
}

bool readList(const std::string& name, HashList& list) {
    std::ifstream in(listPath(name));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("mesa: ", 0) == 0) list.mesa = line.substr(6);
        if (line.empty() || line[0] == '#' || line.rfind("mesa: ", 0) == 0) continue;
        std::istringstream fields(line);
        std::string index, hash;
        fields >> index >> hash;
        list.frames.push_back(hash);
    }
    return !list.mesa.empty();
}

void writeList(const std::string& name, const std::string& command, const HashList& list) {
    std::ofstream out(listPath(name));
    out << "# FNV-1a 64 of each frame's RGB bytes (rows top-down) from: " << command << "\n"
        << "mesa: " << list.mesa << "\n";
    char line[32];
    for (size_t i = 0; i < list.frames.size(); ++i) {
        std::snprintf(line, sizeof line, "%05zu ", i);
        out << line << list.frames[i] << "\n";
    }
}

// Renders with `args` (-o added) and hashes every frame written.
void renderAndCompare(const std::string& name, const std::vector<std::string>& args,
                      const ScratchFolder& folder) {
    HashList expected;
    std::string mesa = mesaIdentity();
    if (!recording) {
        ASSERT_TRUE(readList(name, expected)) << "no hashes in " << listPath(name);
        if (expected.mesa != mesa) {
            skipReason = "frame hashes skipped: they were made with Mesa '" + expected.mesa +
                         "', this machine has '" + mesa + "'";
            GTEST_SKIP() << skipReason;
        }
    }
    std::vector<std::string> command = args;
    command.insert(command.end(), {"-q", "-o", folder.path("frames")});
    HostRun run = runHost(command);
    ASSERT_EQ(run.exitCode, 0) << run.errorOutput;
    HashList actual;
    actual.mesa = mesa;
    for (const std::string& frame : filesIn(folder.path("frames"), ".png")) {
        PngPicture picture;
        ASSERT_TRUE(readPng(folder.path("frames/" + frame), picture)) << frame;
        actual.frames.push_back(frameHash(picture));
    }
    if (recording) {
        std::string shown = "zephyrdome";
        int files = 0;
        for (const std::string& arg : args)
            if (arg.find(folder.folder()) == 0)
                ++files;
            else
                shown += " " + arg;
        if (files)
            shown.insert(shown.find(" render") + 7, " <" + std::to_string(files) + " files>");
        writeList(name, shown + " -o frames/", actual);
        return;
    }
    ASSERT_EQ(actual.frames.size(), expected.frames.size());
    int differing = 0, first = -1;
    for (size_t i = 0; i < actual.frames.size(); ++i)
        if (actual.frames[i] != expected.frames[i]) {
            if (first < 0) first = static_cast<int>(i);
            ++differing;
        }
    EXPECT_EQ(differing, 0) << "first differing frame: " << first;
}

// A playlist long enough to scroll, each entry its own pair of tones with a
// pulsing loudness so that the rings move.
std::vector<std::string> scriptedPlaylist(const ScratchFolder& folder) {
    constexpr int rate = 44100;
    constexpr int entries = 32;
    std::vector<std::string> paths;
    for (int entry = 0; entry < entries; ++entry) {
        double low = 60.0 + 15.0 * entry, high = 900.0 + 140.0 * entry;
        std::vector<std::int16_t> low1 = sineSamples(low, rate, rate, 0.6);
        std::vector<std::int16_t> high1 = sineSamples(high, rate, rate, 0.3);
        std::vector<std::int16_t> mixed(rate);
        for (int i = 0; i < rate; ++i) {
            double pulse = 0.5 + 0.5 * std::cos(2.0 * M_PI * 3.0 * i / rate);
            mixed[i] = static_cast<std::int16_t>(std::lround(pulse * low1[i] + high1[i]));
        }
        std::string number = std::to_string(entry + 1);
        std::string name = (entry + 1 < 10 ? "0" : "") + number + " - Tone " + number + ".wav";
        paths.push_back(folder.path(name));
        writeAudioFile(paths.back(), mixed, rate, 1, SF_FORMAT_WAV);
    }
    return paths;
}
class FrameHashes : public GlTest {};
} // namespace

TEST_F(FrameHashes, theDemoDrawsTheSameFrames) {
    ScratchFolder folder;
    renderAndCompare("demo", {"render"}, folder);
}

TEST_F(FrameHashes, aScriptedRunThroughEveryModeDrawsTheSameFrames) {
    ScratchFolder folder;
    std::vector<std::string> args = {"render"};
    for (const std::string& path : scriptedPlaylist(folder))
        args.push_back(path);
    const char* const keys[] = {
        "0.3s:B",          "0.8s:C",         "1.3s:A",                   // the three ring modes
        "1.6s:D",          "1.8s:LEFT:0.3s", "2.2s:DOWN:0.3s",           // rotation off, arrows
        "2.6s:RIGHT:0.3s", "3s:UP:0.62s",    "3.8s:D",                   // the sphere, rotation on
        "6s:F2",           "6.4s:F2",        "6.8s:H",         "7.4s:H", // panel off and on, help
        "7.6s:F3",         "7.8s:F3"};                                   // the scene off and on
    for (const char* key : keys)
        args.insert(args.end(), {"--key", key});
    const char* const clicks[] = {"4s:100,42",    "4.5s:210,435", "4.9s:100,100",
                                  "5.3s:210,435", "5.6s:210,10",  "5.8s:100,70"};
    for (const char* click : clicks)
        args.insert(args.end(), {"--click", click});
    args.insert(args.end(), {"--duration", "8s"});
    renderAndCompare("scripted", args, folder);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--record") == 0) recording = true;
    int failed = RUN_ALL_TESTS();
    if (failed) return 1;
    if (!skipReason.empty()) {
        std::printf("%s\n", skipReason.c_str());
        return 77;
    }
    return 0;
}
