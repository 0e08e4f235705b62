// What `zephyrdome listen` hears: a source of the sound server (PulseAudio,
// or PipeWire's Pulse server), by default the monitor of the default output,
// so whatever the desktop plays. A thread reads it in small fragments; each
// frame takes the newest samples.
//
//   std::unique_ptr<SoundCapture> capture = openSoundCapture("", error);
//   capture->latest(block, visBlockSamples);   // once a frame
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

// The source the desktop's output plays into, by the sound server's own name for it.
extern const char* const defaultMonitorSource;

struct CaptureMoment {
    // When the newest sample taken reached this process; the epoch before any did.
    std::chrono::steady_clock::time_point arrived;
    // How long that sample had waited in the server before it was read.
    double serverMs = 0.0;
};

class SoundCapture {
  public:
    virtual ~SoundCapture() = default;
    virtual int sampleRate() const = 0;
    // The source's description, as a desktop's sound settings show it.
    virtual const std::string& description() const = 0;
    // The newest `count` mono samples, oldest first (silence before any came).
    virtual CaptureMoment latest(std::int16_t* samples, int count) = 0;
    // Why the stream stopped, once it has (the server went away); else empty.
    virtual std::string failure() = 0;
};

// `source` empty: the default output's monitor. Null, with one line in
// `error`, when there is no sound server or no such source.
std::unique_ptr<SoundCapture> openSoundCapture(const std::string& source, std::string& error);
