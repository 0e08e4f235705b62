// The command line of `zephyrdome listen`: show the plug-in live on what the
// desktop is playing.
#pragma once

#include "session/live_display.h"

#include <string>

struct ListenOptions {
    std::string source;     // empty: the monitor of the default output, followed
    std::string player;     // empty: whichever desktop player plays
    std::string pluginPath; // empty: the plug-in beside the executable
    long long durationMs = -1;
    LiveWindowLook window; // --zoom, --scale-filter, --fullscreen
    bool trace = false;
    bool quiet = false;
};

enum class ListenParse { run, help, listSources, failed };

// `argv[1]` is "listen". Fails with one line naming the problem.
ListenParse parseListenCommandLine(int argc, const char* const* argv, ListenOptions& options,
                                   std::string& error);

extern const char* const listenUsageText;
