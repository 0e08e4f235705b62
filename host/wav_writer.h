// The video's sound track on its way to ffmpeg: 16-bit stereo WAV written
// block by block through libsndfile.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class WavWriter {
  public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    bool open(const std::string& path, int sampleRate, std::string& error);
    bool isOpen() const { return file_ != nullptr; }
    // Interleaved left and right samples.
    bool write(const std::vector<std::int16_t>& stereo);
    bool close();

  private:
    void* file_ = nullptr;
};
