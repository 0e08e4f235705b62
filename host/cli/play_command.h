// `zephyrdome play`: from a parsed command line to a live run on the
// desktop. Returns the process exit status; failures are one line on stderr.
#pragma once

#include "cli/play_options.h"

#include <string>

int runPlayCommand(const PlayOptions& options, const std::string& programPath);

// `zephyrdome play ...` as main sees it: parses, answers --help, sets up
// Ctrl-C to end the run as Escape does, and runs.
int playMain(int argc, char** argv);
