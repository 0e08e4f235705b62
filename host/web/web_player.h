// The page's player (web_player.cpp); the page calls the rest through the
// exported zdPlayer* functions.
#pragma once

#include <string>

// Opens the host window with the demo's playlist and starts the plug-in.
bool startWebPlayer(const std::string& programPath, std::string& error);
