#include "output/video_format.h"

#include <cctype>

namespace {
// x264's preset and constant rate factor, and VP9's speed (libvpx's realtime
// mode: its good mode took four times as long for the same look) and CRF, for
// draft, good and best (bench/README.md has the measurements behind them).
// For H.264, good has draft's look in about 55% of its size; best looks sharper.
struct Encoder {
    const char* x264Preset;
    const char* x264Crf;
    const char* vp9Speed;
    const char* vp9Crf;
};
const Encoder encoders[] = {
    {"ultrafast", "20", "8", "32"},
    {"veryfast", "18", "6", "28"},
    {"medium", "18", "5", "24"},
};

const Encoder& encoderFor(VideoQuality quality) {
    return encoders[static_cast<int>(quality)];
}

std::string lowerCase(std::string text) {
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Fit inside the asked size keeping the shape, then centre on black.
std::string scaleFilter(const VideoSettings& settings) {
    std::string size = std::to_string(settings.width) + ":" + std::to_string(settings.height);
    return "scale=" + size + ":force_original_aspect_ratio=decrease:flags=" +
           (settings.smooth ? "lanczos" : "neighbor") + ",pad=" + size +
           ":(ow-iw)/2:(oh-ih)/2:color=black";
}

// GIF delays are hundredths of a second, and browsers slow anything under
// two: 20 frames a second, every other frame. Each frame gets a palette of
// its own, so ffmpeg keeps no frames back to make one for the whole clip.
const char* const gifFilters =
    "fps=20,split[frames][copy];[copy]palettegen=stats_mode=single[palette];"
    "[frames][palette]paletteuse=new=1";

std::string filters(VideoFormat format, const VideoSettings& settings) {
    std::string chain = settings.width > 0 ? scaleFilter(settings) : "";
    if (format != VideoFormat::gif) return chain;
    return chain.empty() ? gifFilters : chain + "," + gifFilters;
}

std::vector<std::string> codecArgs(VideoFormat format, VideoQuality quality) {
    const Encoder& encoder = encoderFor(quality);
    switch (format) {
    case VideoFormat::mp4:
        return {"-c:v",      "libx264",       "-preset",  encoder.x264Preset,
                "-crf",      encoder.x264Crf, "-pix_fmt", "yuv420p",
                "-c:a",      "aac",           "-b:a",     "192k",
                "-movflags", "+faststart",    "-f",       "mp4"};
    case VideoFormat::webm:
        return {
            "-c:v",     "libvpx-vp9", "-deadline", "realtime",     "-cpu-used", encoder.vp9Speed,
            "-row-mt",  "1",          "-crf",      encoder.vp9Crf, "-b:v",      "0",
            "-pix_fmt", "yuv420p",    "-c:a",      "libopus",      "-b:a",      "160k",
            "-ar",      "48000",      "-f",        "webm"};
    case VideoFormat::gif:
        break;
    }
    return {"-f", "gif"};
}
} // namespace

bool videoFormatFor(const std::string& output, VideoFormat& format) {
    size_t dot = output.rfind('.');
    std::string extension = dot == std::string::npos ? "" : lowerCase(output.substr(dot));
    if (extension == ".mp4")
        format = VideoFormat::mp4;
    else if (extension == ".webm")
        format = VideoFormat::webm;
    else if (extension == ".gif")
        format = VideoFormat::gif;
    else
        return false;
    return true;
}

std::vector<std::string> encodingArgs(VideoFormat format, const VideoSettings& settings) {
    std::vector<std::string> args;
    std::string chain = filters(format, settings);
    if (!chain.empty()) args.insert(args.end(), {"-vf", chain});
    std::vector<std::string> codecs = codecArgs(format, settings.quality);
    args.insert(args.end(), codecs.begin(), codecs.end());
    return args;
}

bool carriesSound(VideoFormat format) {
    return format != VideoFormat::gif;
}

std::string codecNames(VideoFormat format, bool sound) {
    switch (format) {
    case VideoFormat::mp4:
        return sound ? "H.264 + AAC" : "H.264";
    case VideoFormat::webm:
        return sound ? "VP9 + Opus" : "VP9";
    case VideoFormat::gif:
        break;
    }
    return "GIF";
}

long long longestVideoMs(VideoFormat format) {
    return format == VideoFormat::gif ? 30000 : -1;
}
