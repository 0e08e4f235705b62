// Decoding audio files through libsndfile (WAV, FLAC, Ogg Vorbis, Opus, MP3
// and whatever else the installed libsndfile reads); no decoder of our own.
#pragma once

#include "audio/audio_clip.h"

#include <string>

struct AudioFileInfo {
    int sampleRate = 0;
    int channels = 0;
    long long durationMs = 0;
};

// Opens the file's header only: cheap check that a playlist entry can be played.
bool probeAudioFile(const std::string& path, AudioFileInfo& info, std::string& error);

bool decodeAudioFile(const std::string& path, AudioClip& clip, std::string& error);
