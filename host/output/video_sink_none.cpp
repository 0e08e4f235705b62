// The Windows host writes PNG frames only: video goes through an ffmpeg
// child on Linux, which it does not start.
#include "output/frame_sink.h"

std::unique_ptr<FrameSink> openVideoSink(const std::string& output, int, int, std::string& error,
                                         const VideoSettings&) {
    error = "cannot write " + output +
            ": the Windows host writes PNG frames only (-o FOLDER/ or a %05d.png pattern)";
    return nullptr;
}
