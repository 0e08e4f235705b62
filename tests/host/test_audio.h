// Small audio files and sample blocks made by the tests themselves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A fresh empty folder under the system's temporary folder, removed by the destructor.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    std::string path(const std::string& name) const { return folder_ + "/" + name; }
    const std::string& folder() const { return folder_; }

  private:
    std::string folder_;
};

std::vector<std::int16_t> sineSamples(double hz, int rate, int count, double amplitude);

// Writes through libsndfile; `format` is an SF_FORMAT_* major type (16-bit PCM,
// Vorbis for Ogg) or a full format with its subtype.
void writeAudioFile(const std::string& path, const std::vector<std::int16_t>& interleaved, int rate,
                    int channels, int format);
void writeSineWav(const std::string& path, double hz, double seconds, int rate = 44100);
