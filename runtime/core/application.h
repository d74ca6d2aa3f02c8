// The runtime's application object: the one record of runtime state for the
// whole process, living until the process ends.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/types.h"
#include "runtime/core/byte_array_views.h"
#include "runtime/core/notification.h"
#include "runtime/core/picture_registry.h"
#include "runtime/core/program.h"
#include "runtime/core/window_registry.h"

namespace runtime {

using CleanupRoutine = void (*)();
using IdleRoutine = void (*)(intptr_t argument);
using GetPropertyService = uint64_t (*)(WindowId, UnitId, int32_t property, int32_t selector);
using SetPropertyService = void (*)(WindowId, UnitId, int32_t property, int32_t selector, uint64_t payload);
using ErrorHook = int32_t (*)(int32_t code, const char* text);

struct IdleEntry {
  platform::HWND window;
  IdleRoutine routine;
  intptr_t argument;
};

// The record passed with notify::kAddIdleRoutine.
struct IdleRegistration {
  platform::HWND window;
  IdleRoutine routine;
  intptr_t argument;
};

// How the process ends; tests replace nothing here, they run in a child. The
// first exit code chosen stands: a thread that arrives later waits for the
// process to end.
[[noreturn]] void ExitProcess(int32_t code);

struct Application {
  const ProgramHeader* header = nullptr;
  int32_t programKind = 0;
  int32_t reserved = 0;
  int32_t idCounter = 0;
  std::string programDirectory;  // ANSI, no trailing separator
  std::string programFileName;
  std::string moduleDirectory;  // with its trailing separator
  std::unique_ptr<WindowRegistry> windows;
  std::unique_ptr<PictureRegistry> pictures;
  std::vector<const LibraryEntry*> libraries;
  std::vector<int32_t> libraryValues;
  const uint8_t* constantStart = nullptr;
  const uint8_t* constantEnd = nullptr;
  int32_t eventSuppression = 0;
  // The event whose handler is running: its window, 0 when none, and unit.
  WindowId currentEventWindow = 0;
  UnitId currentEventUnit = 0;
  bool loopStarted = false;
  std::thread::id mainThread;
  // Read by a thread that asks for shutdown, written by the main thread.
  std::atomic<platform::HWND> hiddenOwner = 0;
  bool oleInitialised = false;
  std::vector<CleanupRoutine> cleanupRoutines;
  bool initialised = false;
  std::atomic<bool> shutdownDone = false;
  std::atomic<bool> exiting = false;
  std::vector<IdleEntry> idleRoutines;
  ErrorHook errorHook = nullptr;
  bool errorHookRunning = false;
  int32_t lastQuitCode = 0;
  // DLL commands: resolved addresses and the modules that hold them.
  std::vector<void*> dllAddresses;
  std::vector<void*> dllModules;
  std::map<int32_t, NotifyRoutine> handlers;
  GetPropertyService getProperty = nullptr;
  SetPropertyService setProperty = nullptr;
  // The open search of the find-file service when the caller keeps none.
  uint32_t findHandle = 0;
  // Byte arrays of large files, held once for all their owners.
  ByteArrayViews byteArrayViews;

  bool InConstantBlock(const void* p) const {
    auto* b = static_cast<const uint8_t*>(p);
    return p && constantStart && b >= constantStart && b < constantEnd;
  }
};

Application& App();
// Back to the state before InitialiseRuntime, for a process that runs
// several programs in a row (tests).
void ResetApplication();

}  // namespace runtime
