#include "audio/vis_file.h"

#include "output/output_file.h"

#include <cerrno>
#include <cstring>

namespace {
const char visFileMagic[8] = {'Z', 'D', 'V', 'I', 'S', '\r', '\n', '\x1a'};
constexpr std::size_t frameBytes = 2 * visFrameSamples;

void putLittleEndian(unsigned char* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint32_t getLittleEndian(const unsigned char* in) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | in[i];
    return value;
}

void encodeHeader(unsigned char* header, std::uint32_t frameCount) {
    std::memcpy(header, visFileMagic, sizeof visFileMagic);
    putLittleEndian(header + 8, visFileVersion);
    putLittleEndian(header + 12, frameCount);
}

bool checkHeader(const unsigned char* header, std::uint32_t& frameCount, std::string& error) {
    if (std::memcmp(header, visFileMagic, sizeof visFileMagic) != 0) {
        error = "not a zephyrdome vis recording (bad magic)";
        return false;
    }
    std::uint32_t version = getLittleEndian(header + 8);
    if (version != visFileVersion) {
        error = "unsupported vis recording version " + std::to_string(version);
        return false;
    }
    frameCount = getLittleEndian(header + 12);
    return true;
}

long long fileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    long long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    return size;
}

bool readFrames(std::FILE* file, std::uint32_t count, std::vector<VisFrame>& frames) {
    frames.resize(count);
    for (VisFrame& frame : frames) {
        if (std::fread(frame.spectrum, 1, visFrameSamples, file) != visFrameSamples) return false;
        if (std::fread(frame.waveform, 1, visFrameSamples, file) != visFrameSamples) return false;
    }
    return true;
}

bool readOpenVisFile(std::FILE* file, std::vector<VisFrame>& frames, std::string& error) {
    long long size = fileSize(file);
    unsigned char header[visFileHeaderSize];
    if (size < static_cast<long long>(visFileHeaderSize) ||
        std::fread(header, 1, visFileHeaderSize, file) != visFileHeaderSize) {
        error = "truncated vis recording (no complete header)";
        return false;
    }
    std::uint32_t count = 0;
    if (!checkHeader(header, count, error)) return false;
    long long expected = static_cast<long long>(visFileHeaderSize) + count * (long long)frameBytes;
    if (size != expected) {
        long long whole = (size - static_cast<long long>(visFileHeaderSize)) / frameBytes;
        error = size < expected ? "truncated vis recording: " + std::to_string(whole) + " of " +
                                      std::to_string(count) + " frames present"
                                : "vis recording has " + std::to_string(size - expected) +
                                      " bytes after its " + std::to_string(count) + " frames";
        return false;
    }
    if (!readFrames(file, count, frames)) {
        error = "cannot read vis recording frames";
        return false;
    }
    return true;
}
} // namespace

bool readVisFile(const std::string& path, std::vector<VisFrame>& frames, std::string& error) {
    frames.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    bool ok = readOpenVisFile(file, frames, error);
    std::fclose(file);
    if (!ok) {
        error = path + ": " + error;
        frames.clear();
    }
    return ok;
}

VisFileWriter::~VisFileWriter() {
    abandon();
}

bool VisFileWriter::open(const std::string& path, std::string& error) {
    abandon();
    path_ = path;
    tempPath_ = temporaryPathFor(path);
    file_ = std::fopen(tempPath_.c_str(), "wb");
    if (!file_) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    unsigned char header[visFileHeaderSize];
    encodeHeader(header, 0);
    frameCount_ = 0;
    failed_ = std::fwrite(header, 1, sizeof header, file_) != sizeof header;
    return true;
}

bool VisFileWriter::write(const VisFrame& frame) {
    if (!file_ || failed_) return false;
    failed_ = std::fwrite(frame.spectrum, 1, visFrameSamples, file_) != visFrameSamples ||
              std::fwrite(frame.waveform, 1, visFrameSamples, file_) != visFrameSamples;
    if (!failed_) ++frameCount_;
    return !failed_;
}

bool VisFileWriter::commit(std::string& error) {
    if (!file_) {
        error = "vis recording was not opened";
        return false;
    }
    unsigned char header[visFileHeaderSize];
    encodeHeader(header, frameCount_);
    bool ok = !failed_ && std::fseek(file_, 0, SEEK_SET) == 0 &&
              std::fwrite(header, 1, sizeof header, file_) == sizeof header;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (!ok) {
        error = "cannot write " + path_ + ": " + std::strerror(errno);
        std::remove(tempPath_.c_str());
        return false;
    }
    return commitFile(tempPath_, path_, error);
}

void VisFileWriter::abandon() {
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
    std::remove(tempPath_.c_str());
}
