// Where captured frames go: an MP4 video with the played audio, or a series
// of PNG images. Either way nothing that looks finished exists until
// finish() succeeds; abandon() removes whatever was written.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FrameSink {
  public:
    virtual ~FrameSink() = default;
    virtual bool writeFrame(const unsigned char* rgba, int width, int height,
                            std::string& error) = 0;
    // The sound heard with the next frame, stereo at the rate the sink was
    // opened with, given before that frame; sinks without sound ignore it.
    virtual bool writeAudio(const std::vector<std::int16_t>&, int, std::string&) { return true; }
    // The size of the frames to come, when it is known before the first one:
    // a video starts its encoder now, so that it is ready when they come.
    virtual bool begin(int, int, std::string&) { return true; }
    // Lowers whatever the sink runs beside the caller (a video's encoder) by
    // `steps` nice steps; best effort.
    virtual void lowerPriority(int) {}
    // Whether a video of this length (-1: not known) fits; fails with one
    // line saying why not (a GIF holds 30 s at most).
    virtual bool acceptsLength(long long, std::string&) { return true; }
    virtual bool finish(std::string& error) = 0;
    virtual void abandon() = 0;
    // What was written, for the summary line.
    virtual std::string describe() const = 0;
};

enum class OutputKind { video, pngFrames };

// How much encoding time a video spends on its size: draft is quickest,
// best smallest for the same look; good is what to upload.
enum class VideoQuality { draft, good, best };

// The video's picture size: 0 by 0 keeps the plug-in's own. Another size
// scales the frames to fit inside it and pads the rest with black, so the
// picture is never stretched; `smooth` picks Lanczos over nearest-neighbour.
struct VideoSettings {
    int width = 0;
    int height = 0;
    bool smooth = true;
    VideoQuality quality = VideoQuality::good;
};

// A folder (existing, ending in a slash, or a new name without an extension) or a printf pattern
// with %d (such as frames/%05d.png) means PNG frames; an .mp4, .webm or .gif file means video.
bool outputKindFor(const std::string& output, OutputKind& kind, std::string& error);

// Creates the sink and checks up front that it can write (and that ffmpeg
// exists, for video). Frames are paced `frameDelayMs` apart; `audioRate` is
// the sound's sample rate, 0 for none.
std::unique_ptr<FrameSink> openFrameSink(const std::string& output, int frameDelayMs, int audioRate,
                                         std::string& error, const VideoSettings& settings = {});

std::unique_ptr<FrameSink> openPngSink(const std::string& output, std::string& error);
std::unique_ptr<FrameSink> openVideoSink(const std::string& output, int frameDelayMs, int audioRate,
                                         std::string& error, const VideoSettings& settings = {});
