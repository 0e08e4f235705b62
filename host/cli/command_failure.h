// How every command reports a failure: one line on stderr, exit status 1.
#pragma once

#include <string>

int reportFailure(const std::string& message);
