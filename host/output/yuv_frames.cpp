#include "output/yuv_frames.h"

extern "C" {
#include <libswscale/swscale.h>
}

Yuv420Frames::~Yuv420Frames() {
    sws_freeContext(context_);
}

bool Yuv420Frames::converts(int width, int height) {
    return width > 0 && height > 0 && width % 2 == 0 && height % 2 == 0;
}

bool Yuv420Frames::convert(const unsigned char* rgb0, int width, int height,
                           std::vector<unsigned char>& yuv) {
    if (!converts(width, height)) return false;
    if (!context_ || width != width_ || height != height_) {
        // ffmpeg's own flags for the conversions it adds by itself: bicubic.
        context_ = sws_getCachedContext(context_, width, height, AV_PIX_FMT_RGB0, width, height,
                                        AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (!context_) return false;
        width_ = width;
        height_ = height;
    }
    const size_t lumaSize = size_t(width) * size_t(height);
    const size_t chromaSize = lumaSize / 4;
    yuv.resize(lumaSize + 2 * chromaSize);
    unsigned char* planes[] = {yuv.data(), yuv.data() + lumaSize,
                               yuv.data() + lumaSize + chromaSize};
    const int strides[] = {width, width / 2, width / 2};
    const unsigned char* source[] = {rgb0};
    const int sourceStride[] = {width * 4};
    return sws_scale(context_, source, sourceStride, 0, height, planes, strides) == height;
}
