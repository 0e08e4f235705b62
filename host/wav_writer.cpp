#include "wav_writer.h"

#include <sndfile.h>

WavWriter::~WavWriter() {
    close();
}

bool WavWriter::open(const std::string& path, int sampleRate, std::string& error) {
    SF_INFO info = {};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    file_ = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file_) error = "cannot write " + path + ": " + sf_strerror(nullptr);
    return file_ != nullptr;
}

bool WavWriter::write(const std::vector<std::int16_t>& stereo) {
    sf_count_t frames = static_cast<sf_count_t>(stereo.size() / 2);
    return file_ && sf_writef_short(static_cast<SNDFILE*>(file_), stereo.data(), frames) == frames;
}

bool WavWriter::close() {
    if (!file_) return true;
    bool ok = sf_close(static_cast<SNDFILE*>(file_)) == 0;
    file_ = nullptr;
    return ok;
}
