#include "audio/audio_decode.h"

#include <sndfile.h>

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define dup _dup
#define dup2 _dup2
#define close _close
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {
// Decoder libraries (mpg123) print their own warnings about broken files;
// the host says what went wrong in one line of its own instead.
class QuietStderr {
  public:
    QuietStderr() {
        std::fflush(stderr);
        saved_ = dup(2);
        std::FILE* null = std::fopen(nullDevice, "w");
        if (null) dup2(fileno(null), 2), std::fclose(null);
    }
    ~QuietStderr() {
        std::fflush(stderr);
        if (saved_ >= 0) dup2(saved_, 2), close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

  private:
#ifdef _WIN32
    static constexpr const char* nullDevice = "NUL";
#else
    static constexpr const char* nullDevice = "/dev/null";
#endif
    int saved_ = -1;
};

SNDFILE* openAudio(const std::string& path, SF_INFO& info, std::string& error) {
    info = SF_INFO{};
    SNDFILE* file = nullptr;
    {
        QuietStderr quiet;
        file = sf_open(path.c_str(), SFM_READ, &info);
    }
    std::error_code code;
    if (!file && !std::filesystem::is_regular_file(path, code)) {
        error = "cannot open " + path + ": no such file";
        return nullptr;
    }
    if (!file) {
        error = "cannot decode " + path + ": not audio that libsndfile can read";
        return nullptr;
    }
    if (info.samplerate <= 0 || info.channels <= 0) {
        error = "cannot decode " + path + ": no audio in it";
        sf_close(file);
        return nullptr;
    }
    return file;
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
    QuietStderr quiet;
    while ((got = sf_readf_float(file, block.data(), blockFrames)) > 0)
        appendAudioFrames(block.data(), got, info.channels, clip);
    int status = sf_error(file);
    sf_close(file);
    if (status != SF_ERR_NO_ERROR || clip.samples.empty()) {
        error = "cannot decode " + path + ": " +
                (status != SF_ERR_NO_ERROR ? sf_error_number(status) : "no audio in it");
        return false;
    }
    return true;
}
