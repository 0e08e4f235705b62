// What a fuzz target asserts about the code under test. A failed check ends
// the run the way a sanitizer report does, so libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// The lowest free file descriptor: it rises when a run leaves a file open.
int lowestFreeDescriptor();
