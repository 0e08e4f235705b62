// Pacing live frames. The clock follows the sound heard while the player
// plays, so picture and sound keep step whatever the sound card's crystal
// does, and the monotonic clock while it is paused or stopped; handing over
// from one to the other never makes it jump.
//
//   FrameClock clock(output);
//   FramePacer pacer(frameDelayMs);
//   if (pacer.untilDueMs(clock.nowMs()) <= 0) { render; pacer.frameShown(clock.nowMs()); }
#pragma once

#include "audio/audio_output.h"

#include <chrono>

class FrameClock {
  public:
    explicit FrameClock(AudioOutput& output);
    double nowMs();
    void followSound(bool follow);

  private:
    double sourceMs();

    AudioOutput& output_;
    bool followSound_ = true;
    double baseMs_ = 0.0;   // the clock's reading when the source last changed
    double anchorMs_ = 0.0; // the source's reading then
    std::chrono::steady_clock::time_point start_;
};

// Frame n is due at n x frameDelay on the clock. A late frame is made up by
// the next ones, unless the lag grows past a few frames (the machine
// stalled): then the schedule starts over rather than rush out a burst.
class FramePacer {
  public:
    explicit FramePacer(int frameDelayMs) : delayMs_(frameDelayMs) {}
    double untilDueMs(double nowMs) const { return nextDueMs_ - nowMs; }
    void frameShown(double nowMs);

  private:
    int delayMs_;
    double nextDueMs_ = 0.0;
};
