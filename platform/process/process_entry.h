// platform/process: the process entry and its command line. It reads the
// platform's options, chooses the backend (the only place outside
// platform/backends that names one), then runs the program. Exit status 2 for
// a command line it refuses.
#pragma once

#include <functional>

#include "platform/process/command_line.h"

namespace platform {

// The exit status of a run whose display went away under it (a logout, a
// dropped remote session): not a signal, and none of the program's own.
inline constexpr int kDisplayLostStatus = 3;

int RunProcess(int argc, const char* const* argv, const std::function<int(const PlatformOptions&)>& program);

}  // namespace platform
