// The command line of `zephyrdome render`.
#pragma once

#include "output/frame_sink.h"
#include "session/key_script.h"

#include <string>
#include <vector>

struct RenderOptions {
    std::vector<std::string> audioFiles; // the playlist; empty plays the built-in demo
    std::string output;
    long long startMs = 0;
    long long durationMs = -1; // -1: until the playlist (or recording) ends
    std::vector<InputEvent> events;
    bool scripted = false; // --key or --click given
    std::string visOut;
    std::string visIn;
    std::string pluginPath; // empty: the plug-in beside the executable
    VideoSettings video;    // --size, --scale-filter and --quality
    bool quiet = false;
    bool renderThread = false; // onRender on a thread of its own, a new one per entry
};

// overview: `zephyrdome --help`; help: `zephyrdome render --help`.
enum class CommandKind { render, overview, help, version };

// Fails with one line naming the problem.
bool parseCommandLine(int argc, const char* const* argv, CommandKind& command,
                      RenderOptions& options, std::string& error);

extern const char* const usageText;
extern const char* const overviewText;
