// `zephyrdome render`: from a parsed command line to a finished output file.
// Returns the process exit status; failures are reported as one line on stderr.
#pragma once

#include "cli/options.h"

int runRenderCommand(const RenderOptions& options, const std::string& programPath);

// The command line of `render` (and --help, --version) from argv to the exit
// status: 2 for a command line it refuses, with one line on stderr.
int renderMain(int argc, char** argv, const char* version);
