// `zephyrdome listen`: from a parsed command line to a live run on the
// desktop's sound. Returns the process exit status; failures are one line on
// stderr.
#pragma once

#include "cli/listen_options.h"

#include <string>

int runListenCommand(const ListenOptions& options, const std::string& programPath);

// `zephyrdome listen ...` as main sees it: parses, answers --help, sets up
// Ctrl-C to end the run as Escape does, and runs.
int listenMain(int argc, char** argv);
