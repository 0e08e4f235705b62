// A file that lives in memory under a path the C library can fopen, so the
// readers under test take a fuzzer's bytes exactly as they take a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class MemoryFile {
  public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Replaces the whole content; false when the file could not be written.
    bool write(const std::uint8_t* data, std::size_t size);
    const std::string& path() const { return path_; }

  private:
    int descriptor_ = -1;
    std::string path_;
};
