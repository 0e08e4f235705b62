// RGB frames to the 4:2:0 YUV that the video is encoded in, converted in our
// own process by libswscale, exactly as the ffmpeg program converts them when
// it is handed RGB: same library, same bicubic chroma filter, same BT.601
// limited range. Converting before the pipe moves that work off ffmpeg's one
// main thread and sends ffmpeg 1.5 bytes a pixel instead of 4.
#pragma once

#include <vector>

struct SwsContext;

class Yuv420Frames {
  public:
    Yuv420Frames() = default;
    Yuv420Frames(const Yuv420Frames&) = delete;
    Yuv420Frames& operator=(const Yuv420Frames&) = delete;
    ~Yuv420Frames();

    // Only even sizes convert: an odd one has no whole chroma sample at its
    // edge, and ffmpeg's own conversion decides that edge.
    static bool converts(int width, int height);

    // `rgb0` holds width*height pixels of R, G, B and an unused byte, top row
    // first. `yuv` gets the Y plane, then U, then V, as ffmpeg's yuv420p
    // raw video reads them. False when libswscale cannot convert the size.
    bool convert(const unsigned char* rgb0, int width, int height, std::vector<unsigned char>& yuv);

  private:
    SwsContext* context_ = nullptr;
    int width_ = 0, height_ = 0;
};
