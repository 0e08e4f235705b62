#include "output/frame_sink.h"

#include "output/child_process.h"
#include "output/output_file.h"
#include "output/video_format.h"
#include "output/yuv_frames.h"

#include <csignal>
#include <cstdio>

namespace {
constexpr int videoInput = 0;
constexpr int audioInput = 1;

std::string secondsText(long long ms) {
    return std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100);
}

// One ffmpeg run reads raw frames on its stdin and raw sound on descriptor 3.
// Each frame's sound is written before the frame, so the sound never lags the
// picture and ffmpeg (reading each input on its own thread) always has what
// it needs to go on; the sound input is raw, so it needs no probing first.
class VideoSink : public FrameSink {
  public:
    VideoSink(std::string ffmpeg, std::string output, VideoFormat format, int frameDelayMs,
              int audioRate, const VideoSettings& settings)
        : ffmpeg_(std::move(ffmpeg)), output_(std::move(output)), format_(format),
          frameDelayMs_(frameDelayMs), audioRate_(carriesSound(format) ? audioRate : 0),
          settings_(settings) {}
    ~VideoSink() override { abandon(); }

    bool writeAudio(const std::vector<std::int16_t>& stereo, int, std::string& error) override {
        if (audioRate_ == 0) return true;
        if (frames_ == 0) {
            pendingAudio_.insert(pendingAudio_.end(), stereo.begin(), stereo.end());
            return true;
        }
        return feed(audioInput, stereo.data(), stereo.size() * sizeof stereo[0], error);
    }

    // ffmpeg takes a while to start: begun early, it starts while the host
    // prepares the rest.
    bool begin(int width, int height, std::string& error) override {
        return started_ || startEncoder(width, height, error);
    }

    void lowerPriority(int steps) override { encoder_.lowerPriority(steps); }

    bool acceptsLength(long long ms, std::string& error) override {
        long long longest = longestVideoMs(format_);
        if (longest < 0 || (ms >= 0 && ms <= longest)) return true;
        error = "a GIF holds " + std::to_string(longest / 1000) + " s at most" +
                (ms < 0 ? std::string(" and this clip has no end")
                        : "; this clip runs " + secondsText(ms) + " s") +
                ": shorten it with --duration, or write .mp4 or .webm";
        return false;
    }

    bool writeFrame(const unsigned char* rgba, int width, int height, std::string& error) override {
        if (frames_ == 0) {
            if (!started_ || width != width_ || height != height_) {
                encoder_.kill(); // begun for another size
                if (!startEncoder(width, height, error)) return false;
            }
            bool ok = pendingAudio_.empty() ||
                      feed(audioInput, pendingAudio_.data(),
                           pendingAudio_.size() * sizeof pendingAudio_[0], error);
            pendingAudio_.clear();
            if (!ok) return false;
        }
        if (width != width_ || height != height_) {
            error = "the plug-in's window changed size during the video";
            return false;
        }
        if (convertsHere_) {
            if (!yuv_.convert(rgba, width, height, yuvFrame_)) {
                error = "cannot convert the frame to YUV for the video";
                return false;
            }
            if (!feed(videoInput, yuvFrame_.data(), yuvFrame_.size(), error)) return false;
        } else if (!feed(videoInput, rgba, static_cast<size_t>(width) * height * 4, error)) {
            return false;
        }
        ++frames_;
        return true;
    }

    bool finish(std::string& error) override {
        if (frames_ == 0) {
            error = "no frames were rendered";
            return false;
        }
        if (!encoder_.finish()) {
            error = "ffmpeg failed to encode the video: " + encoder_.lastLogLine();
            return false;
        }
        return commitFile(temporaryPathFor(output_), output_, error);
    }

    void abandon() override {
        encoder_.kill();
        std::remove(temporaryPathFor(output_).c_str());
    }

    std::string describe() const override {
        int width = settings_.width ? settings_.width : width_;
        int height = settings_.height ? settings_.height : height_;
        return output_ + " (" + std::to_string(frames_) + " frames, " + std::to_string(width) +
               "x" + std::to_string(height) + ", " + codecNames(format_, audioRate_ != 0) + ")";
    }

  private:
    bool startEncoder(int width, int height, std::string& error);
    std::vector<std::string> encoderArgs() const;

    bool feed(int input, const void* data, size_t size, std::string& error) {
        if (encoder_.write(input, data, size)) return true;
        error = "ffmpeg stopped encoding: " + encoder_.lastLogLine();
        return false;
    }

    std::string ffmpeg_;
    std::string output_;
    VideoFormat format_;
    int frameDelayMs_;
    int audioRate_; // 0 for a video without sound
    VideoSettings settings_;
    int width_ = 0, height_ = 0;
    bool started_ = false;
    long long frames_ = 0;
    std::vector<std::int16_t> pendingAudio_;
    // Frames the video keeps at their size go to ffmpeg as YUV, converted
    // here; scaled ones go as RGB, for the scaler works on RGB, and so do a
    // GIF's, whose palettes are made from RGB.
    bool convertsHere_ = false;
    Yuv420Frames yuv_;
    std::vector<unsigned char> yuvFrame_;
    ChildProcess encoder_;
};

std::vector<std::string> VideoSink::encoderArgs() const {
    std::vector<std::string> args = {ffmpeg_,
                                     "-hide_banner",
                                     "-loglevel",
                                     "error",
                                     "-y",
                                     "-f",
                                     "rawvideo",
                                     "-pix_fmt",
                                     convertsHere_ ? "yuv420p" : "rgb0",
                                     "-s",
                                     std::to_string(width_) + "x" + std::to_string(height_),
                                     "-framerate",
                                     "1000/" + std::to_string(frameDelayMs_),
                                     "-i",
                                     "pipe:0"};
    if (audioRate_) {
        args.insert(args.end(), {"-probesize", "32", "-analyzeduration", "0", "-f", "s16le", "-ar",
                                 std::to_string(audioRate_), "-ac", "2", "-i", "pipe:3", "-map",
                                 "0:v", "-map", "1:a"});
    }
    std::vector<std::string> encoding = encodingArgs(format_, settings_);
    args.insert(args.end(), encoding.begin(), encoding.end());
    args.push_back(temporaryPathFor(output_));
    return args;
}

bool VideoSink::startEncoder(int width, int height, std::string& error) {
    width_ = width;
    height_ = height;
    convertsHere_ = settings_.width == 0 && format_ != VideoFormat::gif &&
                    Yuv420Frames::converts(width, height);
    started_ = encoder_.start(encoderArgs(), audioRate_ ? 2 : 1, error);
    return started_;
}
} // namespace

std::unique_ptr<FrameSink> openVideoSink(const std::string& output, int frameDelayMs, int audioRate,
                                         std::string& error, const VideoSettings& settings) {
    std::string ffmpeg = findProgram("ffmpeg");
    if (ffmpeg.empty()) {
        error = "ffmpeg not found on PATH (needed for video; install Debian's ffmpeg, or write "
                "PNG frames to a folder)";
        return nullptr;
    }
    if (!checkWritable(output, error)) return nullptr;
    // A dead encoder must show up as a failed write, not end the host.
    std::signal(SIGPIPE, SIG_IGN);
    VideoFormat format = VideoFormat::mp4;
    videoFormatFor(output, format);
    return std::make_unique<VideoSink>(ffmpeg, output, format, frameDelayMs, audioRate, settings);
}
