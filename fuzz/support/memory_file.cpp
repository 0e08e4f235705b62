#include "memory_file.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

// A memfd under /proc/self/fd reads like any file and never touches a disk.
MemoryFile::MemoryFile() {
    descriptor_ = memfd_create("zd-fuzz-input", MFD_CLOEXEC);
    if (descriptor_ < 0) {
        std::perror("memfd_create");
        std::abort();
    }
    path_ = "/proc/self/fd/" + std::to_string(descriptor_);
}

MemoryFile::~MemoryFile() {
    if (descriptor_ >= 0) close(descriptor_);
}

bool MemoryFile::write(const std::uint8_t* data, std::size_t size) {
    if (ftruncate(descriptor_, 0) != 0) return false;
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n =
            pwrite(descriptor_, data + written, size - written, static_cast<off_t>(written));
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}
