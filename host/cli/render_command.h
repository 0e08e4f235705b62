// `zephyrdome render`: from a parsed command line to a finished output file.
// Returns the process exit status; failures are reported as one line on stderr.
#pragma once

#include "cli/options.h"

int runRenderCommand(const RenderOptions& options, const std::string& programPath);
