#include "played_audio.h"

#include <sndfile.h>

bool writeWavFile(const std::string& path, const PlayedAudio& audio, std::string& error) {
    SF_INFO info = {};
    info.samplerate = audio.sampleRate();
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot write " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    sf_count_t frames = static_cast<sf_count_t>(audio.samples().size() / 2);
    sf_count_t written = sf_writef_short(file, audio.samples().data(), frames);
    sf_close(file);
    if (written != frames) {
        error = "cannot write " + path + ": disk full?";
        return false;
    }
    return true;
}
