#include "output/frame_sink.h"

#include "output/video_format.h"
#include "output/writer_thread_sink.h"

#include <filesystem>
#include <system_error>

namespace {
constexpr int writerQueuedFrames = 4;
// A video's encoding (our YUV conversion on the writer thread, and ffmpeg,
// which the writer thread starts) yields to the renderer: fed through queues,
// it catches up in the renderer's gaps, and the rasterizers, which set the
// pace, are preempted less (bench/README.md). PNG frames are not lowered: their
// compression is the slowest stage there.
constexpr int videoEncoderNiceness = 10;

bool hasFramePattern(const std::string& output) {
    size_t percent = output.find('%');
    if (percent == std::string::npos) return false;
    size_t i = percent + 1;
    while (i < output.size() && std::isdigit(static_cast<unsigned char>(output[i])))
        ++i;
    return i < output.size() && output[i] == 'd' && output.find('%', i) == std::string::npos;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}
} // namespace

bool outputKindFor(const std::string& output, OutputKind& kind, std::string& error) {
    std::error_code code;
    std::filesystem::path path(output);
    if (hasFramePattern(output) || endsWith(output, "/") ||
        std::filesystem::is_directory(output, code) || !path.has_extension()) {
        kind = OutputKind::pngFrames;
        return true;
    }
    VideoFormat format;
    if (videoFormatFor(output, format)) {
        kind = OutputKind::video;
        return true;
    }
    error = "unsupported output '" + output +
            "': name an .mp4, .webm or .gif file, a folder, or a pattern such as frames/%05d.png";
    return false;
}

std::unique_ptr<FrameSink> openFrameSink(const std::string& output, int frameDelayMs, int audioRate,
                                         std::string& error, const VideoSettings& settings) {
    OutputKind kind;
    if (!outputKindFor(output, kind, error)) return nullptr;
    if (kind == OutputKind::pngFrames && settings.width > 0) {
        error = "--size needs a video output; PNG frames keep the plug-in's size";
        return nullptr;
    }
    std::unique_ptr<FrameSink> sink =
        kind == OutputKind::pngFrames
            ? openPngSink(output, error)
            : openVideoSink(output, frameDelayMs, audioRate, error, settings);
    // A few frames in hand keep both sides busy through the encoder's uneven pace.
    return sink ? onWriterThread(std::move(sink), writerQueuedFrames,
                                 kind == OutputKind::video ? videoEncoderNiceness : 0)
                : nullptr;
}
