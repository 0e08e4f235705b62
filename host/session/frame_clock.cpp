#include "session/frame_clock.h"

namespace {
constexpr int lagLimitFrames = 4;
} // namespace

FrameClock::FrameClock(AudioOutput& output)
    : output_(output), start_(std::chrono::steady_clock::now()) {
    anchorMs_ = sourceMs();
}

double FrameClock::sourceMs() {
    if (followSound_) return output_.heardFrames() * 1000.0 / output_.sampleRate();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_)
        .count();
}

double FrameClock::nowMs() {
    return baseMs_ + (sourceMs() - anchorMs_);
}

void FrameClock::followSound(bool follow) {
    if (follow == followSound_) return;
    baseMs_ = nowMs();
    followSound_ = follow;
    anchorMs_ = sourceMs();
}

void FramePacer::frameShown(double nowMs) {
    nextDueMs_ += delayMs_;
    if (nowMs - nextDueMs_ > lagLimitFrames * delayMs_) nextDueMs_ = nowMs;
}
