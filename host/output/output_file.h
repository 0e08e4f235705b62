// Outputs are written under a temporary name beside their final one and
// renamed into place only once complete, so a failed run never leaves a file
// that looks finished.
#pragma once

#include <string>

// "<path>.part": same folder, so the final rename cannot cross file systems.
std::string temporaryPathFor(const std::string& path);

// Renames `temporary` to `final`, replacing it; on failure removes `temporary`.
bool commitFile(const std::string& temporary, const std::string& final, std::string& error);

// Fails when a file cannot be created at `path` (folder missing, no permission).
bool checkWritable(const std::string& path, std::string& error);
