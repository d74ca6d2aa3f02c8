// The tool's program: its header, constant block and libraries, and its
// start routine.
#pragma once

#include <cstdint>

#include "app/constants.h"
#include "runtime/core/program.h"

namespace app {

const runtime::ProgramHeader& ProgramHeader();

// The window's creation handler (bound to the window's event 0).
void WindowCreated(runtime::HandlerCall& call);

// Returns 0 when the message loop has ended.
int32_t StartRoutine();

}  // namespace app
