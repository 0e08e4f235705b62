// Recordings of the exact bytes handed to the plug-in, frame by frame, so a
// run can be replayed without decoding (--vis-out / --vis-in).
//
// Layout, all integers little-endian:
//   offset 0   8 bytes  magic "ZDVIS\r\n\x1a" (catches text-mode mangling)
//   offset 8   uint32   format version, 1
//   offset 12  uint32   frame count N
//   offset 16  N frames of 576 spectrum bytes followed by 576 waveform bytes
// Nothing follows the last frame.
#pragma once

#include "audio/vis_frame.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

constexpr std::uint32_t visFileVersion = 1;
constexpr std::size_t visFileHeaderSize = 16;

// Fails with a one-line reason in `error` for anything but a whole, well-formed recording.
bool readVisFile(const std::string& path, std::vector<VisFrame>& frames, std::string& error);

// Streams frames into a temporary file next to `path`; commit() completes the
// header and renames it into place, so a run that stops early leaves nothing.
class VisFileWriter {
  public:
    VisFileWriter() = default;
    ~VisFileWriter();
    VisFileWriter(const VisFileWriter&) = delete;
    VisFileWriter& operator=(const VisFileWriter&) = delete;

    bool open(const std::string& path, std::string& error);
    bool write(const VisFrame& frame);
    bool commit(std::string& error);
    void abandon();

  private:
    std::string path_;
    std::string tempPath_;
    std::FILE* file_ = nullptr;
    std::uint32_t frameCount_ = 0;
    bool failed_ = false;
};
