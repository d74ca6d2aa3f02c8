// The runtime's life cycle: start-up around the program's start routine. The
// loop is runtime/core/message_loop.h, the end runtime/core/shutdown.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/core/application.h"
#include "runtime/core/program.h"

namespace runtime::services {

// Must be called before the program's start routine; the header stays the
// caller's and must outlive the program.
void SetProgramHeader(const ProgramHeader* header);

// The program file's path split at its last separator: the directory
// without the separator (empty for a program in the root) and the name.
struct ProgramPath {
  std::string directory;
  std::string fileName;
};
ProgramPath SplitProgramPath(std::string_view path);

// Numbered service 6.
void InitialiseRuntime();

using StartRoutine = int32_t (*)();
// The application start and exit steps around the program's start routine;
// returns the process exit code.
int RunApplication(const ProgramHeader& header, StartRoutine start);

}  // namespace runtime::services
