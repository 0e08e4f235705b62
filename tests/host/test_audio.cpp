#include "test_audio.h"

#include <sndfile.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zdhost-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    folder_ = mkdtemp(name.data());
}

ScratchFolder::~ScratchFolder() {
    std::error_code code;
    std::filesystem::remove_all(folder_, code);
}

std::vector<std::int16_t> sineSamples(double hz, int rate, int count, double amplitude) {
    std::vector<std::int16_t> samples(count);
    for (int i = 0; i < count; ++i)
        samples[i] = static_cast<std::int16_t>(
            std::lround(amplitude * 32767.0 * std::sin(2.0 * M_PI * hz * i / rate)));
    return samples;
}

void writeAudioFile(const std::string& path, const std::vector<std::int16_t>& interleaved, int rate,
                    int channels, int format) {
    SF_INFO info = {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    if ((format & SF_FORMAT_SUBMASK) == 0)
        info.format |= format == SF_FORMAT_OGG ? SF_FORMAT_VORBIS : SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    sf_writef_short(file, interleaved.data(), interleaved.size() / channels);
    sf_close(file);
}

void writeSineWav(const std::string& path, double hz, double seconds, int rate) {
    writeAudioFile(path, sineSamples(hz, rate, static_cast<int>(seconds * rate), 0.5), rate, 1,
                   SF_FORMAT_WAV);
}
