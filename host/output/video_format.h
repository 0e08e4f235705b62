// The videos `render` writes, chosen by the output's name, and how ffmpeg
// encodes each: .mp4 (H.264 and AAC), .webm (VP9 and Opus) and .gif (a
// palette made for each frame, 20 frames a second, no sound, 30 s at most).
// The quality picks the encoder's speed against the file's size; the values
// are measured in bench/README.md.
#pragma once

#include "output/frame_sink.h"

#include <string>
#include <vector>

enum class VideoFormat { mp4, webm, gif };

// From the name's extension, in any case; false when it names no video.
bool videoFormatFor(const std::string& output, VideoFormat& format);

// The ffmpeg arguments after the inputs: the filters (scaling, and a GIF's
// palette), the codecs and the container.
std::vector<std::string> encodingArgs(VideoFormat format, const VideoSettings& settings);

bool carriesSound(VideoFormat format);
// For the summary line, such as "H.264 + AAC".
std::string codecNames(VideoFormat format, bool sound);
// The longest video the format holds, -1 for no limit.
long long longestVideoMs(VideoFormat format);
