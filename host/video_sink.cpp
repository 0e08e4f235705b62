#include "frame_sink.h"

#include "child_process.h"
#include "output_file.h"
#include "wav_writer.h"

#include <csignal>
#include <cstdio>

namespace {
// H.264 for speed over size: x264's ultrafast preset at quality 20 (about
// 7 Mbit/s for the demo; veryfast would halve that for nearly twice the
// encoder time, which on two cores is most of a frame), 4:2:0 so every
// player takes it; AAC audio at 192 kbit/s.
const char* const videoCodecArgs[] = {"-c:v", "libx264", "-preset",  "ultrafast",
                                      "-crf", "20",      "-pix_fmt", "yuv420p"};

class VideoSink : public FrameSink {
  public:
    VideoSink(std::string ffmpeg, std::string output, int frameDelayMs)
        : ffmpeg_(std::move(ffmpeg)), output_(std::move(output)), frameDelayMs_(frameDelayMs) {}
    ~VideoSink() override { abandon(); }

    bool writeFrame(const unsigned char* rgba, int width, int height, std::string& error) override {
        if (frames_ == 0 && !startEncoder(width, height, error)) return false;
        if (width != width_ || height != height_) {
            error = "the plug-in's window changed size during the video";
            return false;
        }
        if (!encoder_.write(rgba, static_cast<size_t>(width) * height * 4)) {
            error = "ffmpeg stopped encoding: " + encoder_.lastLogLine();
            return false;
        }
        ++frames_;
        return true;
    }

    bool writeAudio(const std::vector<std::int16_t>& stereo, int sampleRate,
                    std::string& error) override {
        if (!wav_.isOpen() && !wav_.open(wavPath(), sampleRate, error)) return false;
        if (wav_.write(stereo)) return true;
        error = "cannot write " + wavPath() + " (disk full?)";
        return false;
    }

    bool finish(std::string& error) override;

    void abandon() override {
        encoder_.kill();
        wav_.close();
        for (const std::string& path : {videoPath(), wavPath(), temporaryPathFor(output_)})
            std::remove(path.c_str());
    }

    std::string describe() const override {
        return output_ + " (" + std::to_string(frames_) + " frames, " + std::to_string(width_) +
               "x" + std::to_string(height_) + ", H.264" + (withAudio_ ? " + AAC)" : ")");
    }

  private:
    std::string videoPath() const { return output_ + ".video.part"; }
    std::string wavPath() const { return output_ + ".wav.part"; }
    bool startEncoder(int width, int height, std::string& error);
    bool muxAudio(std::string& error);

    std::string ffmpeg_;
    std::string output_;
    int frameDelayMs_;
    int width_ = 0, height_ = 0;
    long long frames_ = 0;
    bool withAudio_ = false;
    ChildProcess encoder_;
    WavWriter wav_;
};

bool VideoSink::startEncoder(int width, int height, std::string& error) {
    width_ = width;
    height_ = height;
    std::vector<std::string> args = {ffmpeg_,
                                     "-hide_banner",
                                     "-loglevel",
                                     "error",
                                     "-y",
                                     "-f",
                                     "rawvideo",
                                     "-pix_fmt",
                                     "rgb0",
                                     "-s",
                                     std::to_string(width) + "x" + std::to_string(height),
                                     "-framerate",
                                     "1000/" + std::to_string(frameDelayMs_),
                                     "-i",
                                     "pipe:0",
                                     "-an"};
    args.insert(args.end(), std::begin(videoCodecArgs), std::end(videoCodecArgs));
    args.insert(args.end(), {"-movflags", "+faststart", "-f", "mp4", videoPath()});
    return encoder_.start(args, true, error);
}

bool VideoSink::muxAudio(std::string& error) {
    if (!wav_.close()) {
        error = "cannot write " + wavPath() + " (disk full?)";
        return false;
    }
    ChildProcess muxer;
    std::vector<std::string> args = {
        ffmpeg_,     "-hide_banner", "-loglevel", "error",   "-y",
        "-i",        videoPath(),    "-i",        wavPath(), "-map",
        "0:v",       "-map",         "1:a",       "-c:v",    "copy",
        "-c:a",      "aac",          "-b:a",      "192k",    "-shortest",
        "-movflags", "+faststart",   "-f",        "mp4",     temporaryPathFor(output_)};
    if (!muxer.start(args, false, error)) return false;
    if (!muxer.finish()) {
        error = "ffmpeg could not add the audio: " + muxer.lastLogLine();
        return false;
    }
    std::remove(videoPath().c_str());
    std::remove(wavPath().c_str());
    return true;
}

bool VideoSink::finish(std::string& error) {
    if (frames_ == 0) {
        error = "no frames were rendered";
        return false;
    }
    if (!encoder_.finish()) {
        error = "ffmpeg failed to encode the video: " + encoder_.lastLogLine();
        return false;
    }
    withAudio_ = wav_.isOpen();
    if (withAudio_ && !muxAudio(error)) return false;
    if (!withAudio_ && !commitFile(videoPath(), temporaryPathFor(output_), error)) return false;
    return commitFile(temporaryPathFor(output_), output_, error);
}
} // namespace

std::unique_ptr<FrameSink> openVideoSink(const std::string& output, int frameDelayMs,
                                         std::string& error) {
    std::string ffmpeg = findProgram("ffmpeg");
    if (ffmpeg.empty()) {
        error = "ffmpeg not found on PATH (needed for video; install Debian's ffmpeg, or write "
                "PNG frames to a folder)";
        return nullptr;
    }
    if (!checkWritable(output, error)) return nullptr;
    // A dead encoder must show up as a failed write, not end the host.
    std::signal(SIGPIPE, SIG_IGN);
    return std::make_unique<VideoSink>(ffmpeg, output, frameDelayMs);
}
