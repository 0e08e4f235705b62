#include "cli/command_failure.h"

#include <cstdio>

int reportFailure(const std::string& message) {
    std::fprintf(stderr, "zephyrdome: %s\n", message.c_str());
    return 1;
}
