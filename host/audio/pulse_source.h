// Asks the sound server about its sources: which one a name means, which is
// the monitor of the default output, and all of them for --list-sources.
// Each question is bounded by the limit; false, with one line in `error`
// (empty when stopped), when there is no answer.
#pragma once

#include "audio/pulse_connection.h"
#include "audio/sound_capture.h"

#include <string>
#include <vector>

// `name` as the server knows it, special names such as @DEFAULT_MONITOR@ resolved.
bool findPulseSource(PulseConnection& pulse, const std::string& name, const WaitLimit& limit,
                     SoundSourceInfo& info, std::string& error);

// The monitor of the output the server plays to by default. PipeWire's
// session manager (WirePlumber) chooses that output: without it there is none.
bool findDefaultMonitor(PulseConnection& pulse, const WaitLimit& limit, SoundSourceInfo& info,
                        std::string& error);

// Every source, the monitors of outputs first, each group in the server's order.
bool listPulseSources(PulseConnection& pulse, const WaitLimit& limit,
                      std::vector<SoundSourceInfo>& sources, std::string& error);
