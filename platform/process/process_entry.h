// Process entry: reads the platform's options, chooses the backend, then runs
// the program. Exit status 2 for a command line it refuses.
#pragma once

#include <functional>

#include "platform/process/command_line.h"

namespace platform {

int RunProcess(int argc, const char* const* argv, const std::function<int(const PlatformOptions&)>& program);

}  // namespace platform
