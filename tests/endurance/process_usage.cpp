#include "process_usage.h"

#include <platform_hooks.h>

#include <GL/gl.h>

#include <dirent.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>

namespace {

long residentKb() {
    long size = 0, resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return -1;
    const int read = std::fscanf(statm, "%ld %ld", &size, &resident);
    std::fclose(statm);
    return read == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

// Entries of /proc/self/fd, less the one the listing itself holds open.
int openFiles() {
    DIR* folder = opendir("/proc/self/fd");
    if (!folder) return -1;
    int count = 0;
    while (const dirent* entry = readdir(folder))
        if (entry->d_name[0] != '.') ++count;
    closedir(folder);
    return count - 1;
}

} // namespace

ProcessUsage measureUsage() {
    ProcessUsage usage;
    usage.residentKb = residentKb();
    const struct mallinfo2 heap = mallinfo2();
    usage.heapInUseKb = static_cast<long>((heap.uordblks + heap.hblkhd) / 1024);
    usage.openFiles = openFiles();
    usage.windows = platformLiveWindowCount();
    usage.classes = platformRegisteredClassCount();
    usage.glContexts = platformLiveContextCount();
    usage.deviceContexts = platformLiveDCCount();
    usage.palettes = platformLivePaletteCount();
    return usage;
}

bool residentMemoryIsMeaningful() {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return false;
#endif
#endif
    return true;
}

int liveTextureCount() {
    int count = 0;
    for (GLuint name = 1; name <= 4096; ++name)
        if (glIsTexture(name)) ++count;
    return count;
}

std::string describeUsage(const ProcessUsage& usage) {
    char line[256];
    std::snprintf(line, sizeof line,
                  "resident %ld KiB, heap %ld KiB, files %d, windows %d, classes %d, "
                  "GL contexts %d, DCs %d, palettes %d",
                  usage.residentKb, usage.heapInUseKb, usage.openFiles, usage.windows,
                  usage.classes, usage.glContexts, usage.deviceContexts, usage.palettes);
    return line;
}
