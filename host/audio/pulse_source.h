// Asks the sound server about a source before `listen` records from it: is
// there a server at all, does the source exist, what is it called.
#pragma once

#include <string>

struct PulseSourceInfo {
    std::string name;        // the server's name, special names resolved
    std::string description; // as the desktop's sound settings show it
};

// Never starts a server. False, with one line in `error`, when no server
// answers or it has no such source.
bool findPulseSource(const std::string& source, PulseSourceInfo& info, std::string& error);
