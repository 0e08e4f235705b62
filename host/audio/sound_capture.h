// What `zephyrdome listen` hears: a source of the sound server (PulseAudio,
// or PipeWire's Pulse server). Named, the recording stays on that source
// and stops when it goes; unnamed, it is the monitor of the default output,
// so whatever the desktop plays, and follows the default when it changes.
// A thread reads it in small fragments; each frame takes the newest samples.
//
//   CaptureRequest request;            // request.source empty: the default
//   std::unique_ptr<SoundCapture> capture = openSoundCapture(request, error);
//   capture->latest(block, visBlockSamples);   // once a frame
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct CaptureMoment {
    // When the newest sample taken reached this process; the epoch before any did.
    std::chrono::steady_clock::time_point arrived;
    // How long that sample had waited in the server before it was read.
    double serverMs = 0.0;
    // When the last fragment to rise out of silence reached this process
    // (the epoch before one did): the moment a sound started.
    std::chrono::steady_clock::time_point rose;
};

class SoundCapture {
  public:
    virtual ~SoundCapture() = default;
    virtual int sampleRate() const = 0;
    // The recorded source's description, as a desktop's sound settings show
    // it; it changes when the capture follows a new default output.
    virtual std::string description() = 0;
    // The newest `count` mono samples, oldest first (silence before any came).
    virtual CaptureMoment latest(std::int16_t* samples, int count) = 0;
    // Why the recording stopped, once it has; else empty.
    virtual std::string failure() = 0;
};

struct CaptureRequest {
    std::string source; // empty: the default output's monitor, followed
    // Polled by every wait; true ends it (Ctrl-C).
    std::function<bool()> stopped;
    // Connecting and getting a stream together take no longer than this.
    std::chrono::milliseconds limit{5000};
};

// Null, with one line in `error`, when there is no sound server, no such
// source or no stream in time; null with `error` empty when stopped.
std::unique_ptr<SoundCapture> openSoundCapture(const CaptureRequest& request, std::string& error);

struct SoundSourceInfo {
    std::string name;        // what --source takes
    std::string description; // as the desktop's sound settings show it
    bool monitor = false;    // the monitor of an output
};

// Every source the server offers, monitors first; false with one line in
// `error` (empty when stopped) when there is no server.
bool listSoundSources(const CaptureRequest& request, std::vector<SoundSourceInfo>& sources,
                      std::string& error);
