// The command line of `zephyrdome play`: watch the plug-in live while the
// music plays.
#pragma once

#include "session/live_display.h"

#include <string>
#include <vector>

struct PlayOptions {
    std::vector<std::string> audioFiles; // the playlist; empty plays the built-in demo
    std::string pluginPath;              // empty: the plug-in beside the executable
    long long durationMs = -1;           // -1: until the playlist ends or the window closes
    bool sound = true;                   // false: silent, paced by the system clock
    std::string framesFolder;            // also write every shown frame there as PNG
    bool trace = false;                  // print input, player keys and entry changes on stdout
    bool quiet = false;
    LiveWindowLook window; // --zoom, --scale-filter, --fullscreen
};

enum class PlayParse { run, help, failed };

// `argv[1]` is "play". Fails with one line naming the problem.
PlayParse parsePlayCommandLine(int argc, const char* const* argv, PlayOptions& options,
                               std::string& error);

// Whether argv[index] is one of the options live windows share: --zoom,
// --scale-filter, --fullscreen and --duration.
bool isLiveOption(const std::string& arg);
// Parses it; moves index past its value.
bool parseLiveOption(int argc, const char* const* argv, int& index, PlayOptions& options,
                     std::string& error);

extern const char* const playUsageText;
