// Where live play's sound goes, and the clock that says how much of it the
// listener has heard. Frames are stereo 16-bit at the output's rate, counted
// along one timeline: every frame written is heard once, unless it is
// discarded before the device takes it.
//
//   std::unique_ptr<AudioOutput> out = openSoundCard(44100, error); // null: no device
//   if (!out) out = openSilentOutput(44100);  // heard at the system clock's pace
//   out->write(samples, frames);              // keep some ahead of heardFrames()
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    virtual int sampleRate() const = 0;
    // Appends interleaved left-right frames to what is queued.
    virtual void write(const std::int16_t* samples, long long frames) = 0;
    virtual long long writtenFrames() const = 0;
    // Frames the listener has heard, in between the device's requests too;
    // never goes back. Stands still while paused or starved.
    virtual double heardFrames() = 0;
    virtual void setPaused(bool paused) = 0;
    // Drops the queued frames the device has not taken; writing goes on from there.
    virtual void discardQueued() = 0;
};

// The default sound device through SDL2; null, with SDL's reason, when there is none.
std::unique_ptr<AudioOutput> openSoundCard(int sampleRate, std::string& error);
// No sound: frames are "heard" at the pace of the monotonic clock.
std::unique_ptr<AudioOutput> openSilentOutput(int sampleRate);
