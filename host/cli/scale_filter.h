// The names --scale-filter takes, the same for render and the live windows:
// smooth (the default) or nearest (each pixel a block). Render's first
// names, lanczos and neighbor, still mean the same.
#pragma once

#include <string>

// Fails with one line naming the problem.
bool parseScaleFilter(const std::string& text, bool& smooth, std::string& error);
