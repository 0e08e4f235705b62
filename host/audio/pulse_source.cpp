#include "audio/pulse_source.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>

namespace {
struct Query {
    bool done = false;
    bool found = false;
    PulseSourceInfo info;
};

void onSourceInfo(pa_context*, const pa_source_info* source, int eol, void* user) {
    auto* query = static_cast<Query*>(user);
    if (eol) {
        query->done = true;
        return;
    }
    if (!source) return;
    query->found = true;
    query->info.name = source->name ? source->name : "";
    query->info.description = source->description ? source->description : query->info.name;
}

// Runs the loop until the context is ready or has failed.
bool connect(pa_mainloop* loop, pa_context* context) {
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return false;
    for (;;) {
        pa_context_state_t state = pa_context_get_state(context);
        if (state == PA_CONTEXT_READY) return true;
        if (!PA_CONTEXT_IS_GOOD(state)) return false;
        if (pa_mainloop_iterate(loop, 1, nullptr) < 0) return false;
    }
}

bool ask(pa_mainloop* loop, pa_context* context, const std::string& source, Query& query) {
    pa_operation* operation =
        pa_context_get_source_info_by_name(context, source.c_str(), onSourceInfo, &query);
    if (!operation) return false;
    while (!query.done && pa_operation_get_state(operation) == PA_OPERATION_RUNNING)
        if (pa_mainloop_iterate(loop, 1, nullptr) < 0) break;
    pa_operation_unref(operation);
    return query.found;
}
} // namespace

bool findPulseSource(const std::string& source, PulseSourceInfo& info, std::string& error) {
    pa_mainloop* loop = pa_mainloop_new();
    pa_context* context = loop ? pa_context_new(pa_mainloop_get_api(loop), "zephyrdome") : nullptr;
    bool ok = false;
    Query query;
    if (!context) {
        error = "cannot talk to a sound server (out of memory)";
    } else if (!connect(loop, context)) {
        error = std::string("no sound server to listen to (") +
                pa_strerror(pa_context_errno(context)) +
                "); start PulseAudio or PipeWire's Pulse server, or set PULSE_SERVER";
    } else if (!ask(loop, context, source, query)) {
        error = "the sound server has no source '" + source + "' (see: pactl list short sources)";
    } else {
        info = query.info;
        ok = true;
    }
    if (context) {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    if (loop) pa_mainloop_free(loop);
    return ok;
}
