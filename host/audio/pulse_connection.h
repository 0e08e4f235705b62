// A connection to the sound server through libpulse's threaded main loop
// (PulseAudio, or PipeWire's Pulse server). The loop runs on a thread of its
// own; every wait of the caller's is bounded and polls a stop check, so
// Ctrl-C ends it at once and a server that never answers cannot hang it.
//
//   PulseConnection pulse;
//   if (!pulse.connect(limit, error)) ...
//   PulseConnection::Lock lock(pulse);   // around every libpulse call
#pragma once

#include <pulse/context.h>
#include <pulse/operation.h>
#include <pulse/thread-mainloop.h>

#include <chrono>
#include <functional>
#include <string>

// How long a wait may take, and what ends it early (Ctrl-C).
struct WaitLimit {
    std::chrono::steady_clock::time_point deadline;
    std::function<bool()> stopped; // may be empty
};

enum class Waited { done, stopped, timedOut };

class PulseConnection {
  public:
    PulseConnection() = default;
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // False with one line in `error`, or with `error` empty when stopped.
    bool connect(const WaitLimit& limit, std::string& error);
    pa_context* context() const { return context_; }

    // Holds the loop's lock: libpulse objects are touched only under it.
    class Lock {
      public:
        explicit Lock(PulseConnection& pulse) : loop_(pulse.loop_) {
            pa_threaded_mainloop_lock(loop_);
        }
        ~Lock() { pa_threaded_mainloop_unlock(loop_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

      private:
        pa_threaded_mainloop* loop_;
    };

    // Until `done` holds (tested under the lock), the limit passes or the
    // stop check says so; the lock is free between tests.
    Waited waitFor(const std::function<bool()>& done, const WaitLimit& limit);
    // Starts an operation under the lock and waits until `done`; an
    // operation still running at the end is cancelled, so its callback
    // never runs late.
    Waited runOperation(const std::function<pa_operation*()>& start,
                        const std::function<bool()>& done, const WaitLimit& limit);

  private:
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
};

// Whatever the server says last went wrong, as text.
std::string pulseError(pa_context* context);
