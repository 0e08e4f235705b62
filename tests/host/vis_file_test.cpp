// Recordings of per-frame bytes: what is written reads back exactly, and
// anything else is refused with a reason.
#include "audio/vis_file.h"
#include "test_audio.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace {
std::vector<VisFrame> someFrames(int count) {
    std::vector<VisFrame> frames(count);
    for (int f = 0; f < count; ++f)
        for (int i = 0; i < visFrameSamples; ++i) {
            frames[f].spectrum[i] = static_cast<unsigned char>(f * 31 + i);
            frames[f].waveform[i] = static_cast<unsigned char>(255 - f - i * 3);
        }
    return frames;
}

void record(const std::string& path, const std::vector<VisFrame>& frames) {
    VisFileWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open(path, error)) << error;
    for (const VisFrame& frame : frames)
        ASSERT_TRUE(writer.write(frame));
    ASSERT_TRUE(writer.commit(error)) << error;
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readError(const std::string& path) {
    std::vector<VisFrame> frames;
    std::string error;
    EXPECT_FALSE(readVisFile(path, frames, error));
    EXPECT_TRUE(frames.empty());
    return error;
}
} // namespace

TEST(VisFile, framesReadBackByteForByte) {
    ScratchFolder folder;
    std::vector<VisFrame> written = someFrames(7);
    record(folder.path("r.zdvis"), written);
    std::vector<VisFrame> read;
    std::string error;
    ASSERT_TRUE(readVisFile(folder.path("r.zdvis"), read, error)) << error;
    ASSERT_EQ(read.size(), 7u);
    EXPECT_EQ(0, std::memcmp(read.data(), written.data(), 7 * sizeof(VisFrame)));
}

TEST(VisFile, layoutIsMagicVersionCountThenSpectrumAndWaveformPerFrame) {
    ScratchFolder folder;
    std::vector<VisFrame> frames = someFrames(2);
    record(folder.path("r.zdvis"), frames);
    std::string bytes = bytesOf(folder.path("r.zdvis"));
    ASSERT_EQ(bytes.size(), 16u + 2 * 1152);
    EXPECT_EQ(bytes.substr(0, 8), std::string("ZDVIS\r\n\x1a", 8));
    EXPECT_EQ(bytes.substr(8, 8), std::string("\1\0\0\0\2\0\0\0", 8));
    EXPECT_EQ(bytes.substr(16 + 1152, 576),
              std::string(reinterpret_cast<const char*>(frames[1].spectrum), 576));
    EXPECT_EQ(bytes.substr(16 + 1152 + 576, 576),
              std::string(reinterpret_cast<const char*>(frames[1].waveform), 576));
}

TEST(VisFile, anEmptyRecordingIsValid) {
    ScratchFolder folder;
    record(folder.path("r.zdvis"), {});
    std::vector<VisFrame> read(3);
    std::string error;
    EXPECT_TRUE(readVisFile(folder.path("r.zdvis"), read, error)) << error;
    EXPECT_TRUE(read.empty());
}

TEST(VisFile, truncatedRecordingsSayHowMuchIsThere) {
    ScratchFolder folder;
    record(folder.path("r.zdvis"), someFrames(3));
    std::string bytes = bytesOf(folder.path("r.zdvis"));
    writeBytes(folder.path("cut.zdvis"), bytes.substr(0, bytes.size() - 100));
    EXPECT_NE(readError(folder.path("cut.zdvis")).find("truncated vis recording: 2 of 3 frames"),
              std::string::npos);
    writeBytes(folder.path("head.zdvis"), bytes.substr(0, 10));
    EXPECT_NE(readError(folder.path("head.zdvis")).find("truncated"), std::string::npos);
    writeBytes(folder.path("empty.zdvis"), "");
    EXPECT_NE(readError(folder.path("empty.zdvis")).find("truncated"), std::string::npos);
}

TEST(VisFile, garbageAndOtherVersionsAreRefused) {
    ScratchFolder folder;
    writeBytes(folder.path("text.zdvis"), std::string(5000, 'x'));
    std::string error = readError(folder.path("text.zdvis"));
    EXPECT_NE(error.find("bad magic"), std::string::npos) << error;
    EXPECT_NE(error.find("text.zdvis"), std::string::npos) << error;

    record(folder.path("r.zdvis"), someFrames(1));
    std::string bytes = bytesOf(folder.path("r.zdvis"));
    bytes[8] = 2;
    writeBytes(folder.path("v2.zdvis"), bytes);
    EXPECT_NE(readError(folder.path("v2.zdvis")).find("version 2"), std::string::npos);
}

TEST(VisFile, bytesAfterTheLastFrameAreRefused) {
    ScratchFolder folder;
    record(folder.path("r.zdvis"), someFrames(1));
    writeBytes(folder.path("long.zdvis"), bytesOf(folder.path("r.zdvis")) + "extra");
    EXPECT_NE(readError(folder.path("long.zdvis")).find("5 bytes after"), std::string::npos);
}

TEST(VisFile, aHugeClaimedFrameCountIsRefusedWithoutAllocatingIt) {
    ScratchFolder folder;
    writeBytes(folder.path("big.zdvis"),
               std::string("ZDVIS\r\n\x1a\1\0\0\0\xff\xff\xff\xff", 16) + std::string(1152, 0));
    EXPECT_NE(readError(folder.path("big.zdvis")).find("1 of 4294967295 frames"),
              std::string::npos);
}

TEST(VisFile, aMissingFileNamesItself) {
    ScratchFolder folder;
    EXPECT_NE(readError(folder.path("nothing.zdvis")).find("nothing.zdvis"), std::string::npos);
}

TEST(VisFile, anAbandonedRecordingLeavesNoFileBehind) {
    ScratchFolder folder;
    {
        VisFileWriter writer;
        std::string error;
        ASSERT_TRUE(writer.open(folder.path("r.zdvis"), error));
        writer.write(someFrames(1)[0]);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.folder()));
}

TEST(VisFile, anUnwritablePlaceIsReportedAtOpen) {
    VisFileWriter writer;
    std::string error;
    EXPECT_FALSE(writer.open("/nonexistent-folder/r.zdvis", error));
    EXPECT_NE(error.find("cannot write /nonexistent-folder/r.zdvis"), std::string::npos) << error;
}
