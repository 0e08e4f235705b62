// The host's --vis-in reader on arbitrary file contents: it accepts exactly a
// whole, well-formed recording, with as many frames as its header counts, and
// refuses anything else with a reason.
#include "support/fuzz_check.h"
#include "support/memory_file.h"

#include "audio/vis_file.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

MemoryFile* file = nullptr;
const char magic[8] = {'Z', 'D', 'V', 'I', 'S', '\r', '\n', '\x1a'};

std::uint32_t wordAt(const std::uint8_t* data, std::size_t offset) {
    return data[offset] | data[offset + 1] << 8 | data[offset + 2] << 16 |
           static_cast<std::uint32_t>(data[offset + 3]) << 24;
}

bool wellFormed(const std::uint8_t* data, std::size_t size) {
    if (size < visFileHeaderSize || std::memcmp(data, magic, sizeof magic) != 0) return false;
    if (wordAt(data, 8) != visFileVersion) return false;
    const std::uint64_t frames = wordAt(data, 12);
    return size == visFileHeaderSize + frames * 2 * visFrameSamples;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    file = new MemoryFile;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!file->write(data, size)) return 0;
    std::vector<VisFrame> frames;
    std::string error;
    const int descriptors = lowestFreeDescriptor();
    const bool read = readVisFile(file->path(), frames, error);
    FUZZ_CHECK(lowestFreeDescriptor() == descriptors);
    FUZZ_CHECK(read == wellFormed(data, size));
    if (!read) {
        FUZZ_CHECK(!error.empty() && error.find('\n') == std::string::npos);
        FUZZ_CHECK(frames.empty());
        return 0;
    }
    FUZZ_CHECK(frames.size() == wordAt(data, 12));
    const std::uint8_t* at = data + visFileHeaderSize;
    for (const VisFrame& frame : frames) {
        FUZZ_CHECK(std::memcmp(frame.spectrum, at, visFrameSamples) == 0);
        FUZZ_CHECK(std::memcmp(frame.waveform, at + visFrameSamples, visFrameSamples) == 0);
        at += 2 * visFrameSamples;
    }
    return 0;
}
