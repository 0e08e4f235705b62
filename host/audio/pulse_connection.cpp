#include "audio/pulse_connection.h"

#include <pulse/error.h>

#include <thread>

namespace {
constexpr auto pollStep = std::chrono::milliseconds(10);
} // namespace

PulseConnection::~PulseConnection() {
    if (loop_) pa_threaded_mainloop_stop(loop_);
    if (context_) {
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    if (loop_) pa_threaded_mainloop_free(loop_);
}

std::string pulseError(pa_context* context) {
    return pa_strerror(pa_context_errno(context));
}

bool PulseConnection::connect(const WaitLimit& limit, std::string& error) {
    loop_ = pa_threaded_mainloop_new();
    if (loop_) context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "zephyrdome");
    if (!context_ || pa_threaded_mainloop_start(loop_) < 0) {
        error = "cannot talk to a sound server (out of memory)";
        return false;
    }
    bool started;
    {
        Lock lock(*this);
        started = pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
    }
    auto settled = [this] {
        pa_context_state_t state = pa_context_get_state(context_);
        return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
    };
    Waited waited = started ? waitFor(settled, limit) : Waited::done;
    if (waited == Waited::stopped) return false;
    Lock lock(*this);
    if (pa_context_get_state(context_) == PA_CONTEXT_READY) return true;
    error = std::string("no sound server to listen to (") +
            (waited == Waited::timedOut ? "it did not answer" : pulseError(context_)) +
            "); start PulseAudio or PipeWire's Pulse server (pipewire-pulse), or set "
            "PULSE_SERVER";
    return false;
}

Waited PulseConnection::waitFor(const std::function<bool()>& done, const WaitLimit& limit) {
    for (;;) {
        {
            Lock lock(*this);
            if (done()) return Waited::done;
        }
        if (limit.stopped && limit.stopped()) return Waited::stopped;
        if (std::chrono::steady_clock::now() >= limit.deadline) return Waited::timedOut;
        std::this_thread::sleep_for(pollStep);
    }
}

Waited PulseConnection::runOperation(const std::function<pa_operation*()>& start,
                                     const std::function<bool()>& done, const WaitLimit& limit) {
    pa_operation* operation;
    {
        Lock lock(*this);
        operation = start();
    }
    if (!operation) return Waited::done;
    Waited waited = waitFor(
        [&] { return done() || pa_operation_get_state(operation) != PA_OPERATION_RUNNING; }, limit);
    Lock lock(*this);
    if (pa_operation_get_state(operation) == PA_OPERATION_RUNNING) pa_operation_cancel(operation);
    pa_operation_unref(operation);
    return waited;
}
