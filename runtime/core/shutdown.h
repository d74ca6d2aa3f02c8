// The end of the program: the shutdown sequence, the end of the process, and
// the quit that follows the last runtime window.
#pragma once

#include <cstdint>

#include "runtime/core/application.h"

namespace runtime {

// The private message that hands a shutdown requested on another thread to
// the main thread, through the hidden owner window.
inline constexpr uint32_t kShutdownRequest = 0x83E7;

// Numbered service 3; a routine already listed is not added again.
void RegisterCleanupRoutine(CleanupRoutine routine);
// The shutdown sequence alone (the application exit step).
void ShutdownRuntime(int32_t code);
// Runs the shutdown sequence, then ends the process with `code`.
[[noreturn]] void EndProgram(int32_t code);

// Called when a runtime window or unit object was destroyed (notification
// notify::kObjectDestroyed): the loop ends once no runtime window is left.
void OnRuntimeObjectDestroyed();

}  // namespace runtime
