// Where the host looks for the plug-in when none is named: beside itself.
#pragma once

#include <string>

std::string defaultPluginPath(const std::string& programPath);
