// What a long-running host would see grow if the plug-in leaked: resident
// memory, open files, and the windows, classes, GL contexts, device contexts
// and palettes alive in the Win32 subset.
#pragma once

#include <string>

struct ProcessUsage {
    long residentKb = 0;
    long heapInUseKb = 0; // what malloc has handed out and not had back
    int openFiles = 0;
    int windows = 0;
    int classes = 0;
    int glContexts = 0;
    int deviceContexts = 0;
    int palettes = 0;
};

ProcessUsage measureUsage();
// False under AddressSanitizer: freed blocks wait in its quarantine, so
// resident memory grows without a leak (LeakSanitizer looks at exit instead).
bool residentMemoryIsMeaningful();
// Texture names alive in the current GL context, counted among the first 4096.
int liveTextureCount();
std::string describeUsage(const ProcessUsage& usage);
