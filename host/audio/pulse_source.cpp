#include "audio/pulse_source.h"

#include <pulse/introspect.h>

#include <algorithm>

namespace {
// Sources as a listing gathers them; `done` once the server says so.
struct SourceAnswer {
    bool done = false;
    std::vector<SoundSourceInfo> sources;
};

void onSourceInfo(pa_context*, const pa_source_info* source, int eol, void* user) {
    auto* answer = static_cast<SourceAnswer*>(user);
    if (eol) {
        answer->done = true;
        return;
    }
    if (!source || !source->name) return;
    SoundSourceInfo info;
    info.name = source->name;
    info.description = source->description ? source->description : source->name;
    info.monitor = source->monitor_of_sink != PA_INVALID_INDEX;
    answer->sources.push_back(info);
}

struct DefaultSinkAnswer {
    bool done = false;
    std::string sink;
};

void onServerInfo(pa_context*, const pa_server_info* server, void* user) {
    auto* answer = static_cast<DefaultSinkAnswer*>(user);
    if (server && server->default_sink_name) answer->sink = server->default_sink_name;
    answer->done = true;
}

struct MonitorAnswer {
    bool done = false;
    std::string monitor;
};

void onSinkInfo(pa_context*, const pa_sink_info* sink, int eol, void* user) {
    auto* answer = static_cast<MonitorAnswer*>(user);
    if (eol) {
        answer->done = true;
        return;
    }
    if (sink && sink->monitor_source_name) answer->monitor = sink->monitor_source_name;
}

// False, with the reason in `error`, unless the server answered in time.
bool answered(Waited waited, const std::string& what, std::string& error) {
    if (waited == Waited::timedOut)
        error = "the sound server did not answer about " + what + " in time";
    return waited == Waited::done;
}

const char* const noDefaultOutput =
    "the sound server names no default output to listen to; is its session manager "
    "(WirePlumber, for PipeWire) running? zephyrdome listen --list-sources shows what can be "
    "recorded";
} // namespace

bool findPulseSource(PulseConnection& pulse, const std::string& name, const WaitLimit& limit,
                     SoundSourceInfo& info, std::string& error) {
    SourceAnswer answer;
    Waited waited = pulse.runOperation(
        [&] {
            return pa_context_get_source_info_by_name(pulse.context(), name.c_str(), onSourceInfo,
                                                      &answer);
        },
        [&] { return answer.done; }, limit);
    if (!answered(waited, "its sources", error)) return false;
    if (answer.sources.empty()) {
        error = "the sound server has no source '" + name +
                "' (zephyrdome listen --list-sources shows them)";
        return false;
    }
    info = answer.sources.front();
    return true;
}

bool findDefaultMonitor(PulseConnection& pulse, const WaitLimit& limit, SoundSourceInfo& info,
                        std::string& error) {
    DefaultSinkAnswer server;
    Waited waited = pulse.runOperation(
        [&] { return pa_context_get_server_info(pulse.context(), onServerInfo, &server); },
        [&] { return server.done; }, limit);
    if (!answered(waited, "its default output", error)) return false;
    // Without a session manager PipeWire's Pulse server answers with this placeholder.
    if (server.sink.empty() || server.sink == "@DEFAULT_SINK@") {
        error = noDefaultOutput;
        return false;
    }
    MonitorAnswer sink;
    waited = pulse.runOperation(
        [&] {
            return pa_context_get_sink_info_by_name(pulse.context(), server.sink.c_str(),
                                                    onSinkInfo, &sink);
        },
        [&] { return sink.done; }, limit);
    if (!answered(waited, "its default output", error)) return false;
    if (sink.monitor.empty()) {
        error = noDefaultOutput;
        return false;
    }
    return findPulseSource(pulse, sink.monitor, limit, info, error);
}

bool listPulseSources(PulseConnection& pulse, const WaitLimit& limit,
                      std::vector<SoundSourceInfo>& sources, std::string& error) {
    SourceAnswer answer;
    Waited waited = pulse.runOperation(
        [&] { return pa_context_get_source_info_list(pulse.context(), onSourceInfo, &answer); },
        [&] { return answer.done; }, limit);
    if (!answered(waited, "its sources", error)) return false;
    sources = std::move(answer.sources);
    std::stable_partition(sources.begin(), sources.end(),
                          [](const SoundSourceInfo& source) { return source.monitor; });
    return true;
}
