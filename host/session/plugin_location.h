// Where the host looks for the plug-in when none is named: beside itself, or
// where an installed copy keeps it (../lib/zephyrdome/ from the program).
#pragma once

#include <string>

std::string defaultPluginPath(const std::string& programPath);
