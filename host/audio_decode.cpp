#include "audio_decode.h"

#include <sndfile.h>

#include <vector>

namespace {
SNDFILE* openAudio(const std::string& path, SF_INFO& info, std::string& error) {
    info = SF_INFO{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "cannot decode " + path + ": " + sf_strerror(nullptr);
        return nullptr;
    }
    if (info.samplerate <= 0 || info.channels <= 0) {
        error = "cannot decode " + path + ": no audio in it";
        sf_close(file);
        return nullptr;
    }
    return file;
}

// Floats so every format is read the same way; clipped to 16 bits afterwards.
void appendBlock(const std::vector<float>& block, sf_count_t frames, int fileChannels,
                 AudioClip& clip) {
    for (sf_count_t f = 0; f < frames; ++f) {
        const float* frame = &block[f * fileChannels];
        if (clip.channels == fileChannels) {
            for (int c = 0; c < fileChannels; ++c) clip.samples.push_back(toSample16(frame[c]));
        } else {
            float sum = 0.0f;
            for (int c = 0; c < fileChannels; ++c) sum += frame[c];
            clip.samples.push_back(toSample16(sum / fileChannels));
        }
    }
}
} // namespace

bool probeAudioFile(const std::string& path, AudioFileInfo& info, std::string& error) {
    SF_INFO sfInfo;
    SNDFILE* file = openAudio(path, sfInfo, error);
    if (!file) return false;
    info.sampleRate = sfInfo.samplerate;
    info.channels = sfInfo.channels;
    info.durationMs = sfInfo.frames * 1000 / sfInfo.samplerate;
    sf_close(file);
    return true;
}

bool decodeAudioFile(const std::string& path, AudioClip& clip, std::string& error) {
    SF_INFO info;
    SNDFILE* file = openAudio(path, info, error);
    if (!file) return false;
    clip = AudioClip{};
    clip.sampleRate = info.samplerate;
    clip.channels = info.channels <= 2 ? info.channels : 1;
    if (info.frames > 0) clip.samples.reserve(info.frames * clip.channels);
    constexpr sf_count_t blockFrames = 4096;
    std::vector<float> block(blockFrames * info.channels);
    sf_count_t got;
    while ((got = sf_readf_float(file, block.data(), blockFrames)) > 0)
        appendBlock(block, got, info.channels, clip);
    int status = sf_error(file);
    sf_close(file);
    if (status != SF_ERR_NO_ERROR || clip.samples.empty()) {
        error = "cannot decode " + path + ": " +
                (status != SF_ERR_NO_ERROR ? sf_error_number(status) : "no audio in it");
        return false;
    }
    return true;
}
