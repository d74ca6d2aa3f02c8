// The runtime's life cycle: start-up, the message loop, the end of the
// program and its shutdown sequence.
#pragma once

#include <functional>

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/core/application.h"
#include "runtime/core/program.h"

namespace runtime {

// The private message that hands a shutdown requested on another thread to
// the main thread, through the hidden owner window.
inline constexpr uint32_t kShutdownRequest = 0x83E7;

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
// Returns when the loop has ended (at once when no runtime window is alive).
void RunMessageLoop();
// The modal form of the loop: runs until `modalEnded` answers true (checked
// after every message and idle step); a WM_QUIT stays queued for the loop
// outside.
void RunModalLoop(const std::function<bool()>& modalEnded);
// Numbered service 3; a routine already listed is not added again.
void RegisterCleanupRoutine(CleanupRoutine routine);
// Runs the shutdown sequence, then ends the process with `code`.
[[noreturn]] void EndProgram(int32_t code);
// The shutdown sequence alone (the application exit step).
void ShutdownRuntime(int32_t code);
// Takes and dispatches every waiting message until the queue is empty or the
// next one is WM_QUIT, which stays queued (notification 2018).
void ProcessPendingMessages();

// Called when a runtime window or unit object was destroyed (notification 2000).
void OnRuntimeObjectDestroyed();

using StartRoutine = int32_t (*)();
// The application start and exit steps around the program's start routine;
// returns the process exit code.
int RunApplication(const ProgramHeader& header, StartRoutine start);

}  // namespace runtime
