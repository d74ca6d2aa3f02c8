// The service table: the thirteen entry points through which a program's
// logic reaches the runtime.
#pragma once

#include <cstdint>

#include "runtime/core/application.h"
#include "runtime/core/value.h"

namespace runtime::services {

namespace numbered {
inline constexpr int32_t kFindFile = 0;
inline constexpr int32_t kCloseFind = 1;
inline constexpr int32_t kCopyArrayOutOfConstants = 2;
inline constexpr int32_t kRegisterCleanupRoutine = 3;
inline constexpr int32_t kGetObjectProperty = 4;
inline constexpr int32_t kSetObjectProperty = 5;
inline constexpr int32_t kInitialiseRuntime = 6;
}  // namespace numbered

// RaiseRuntimeError and EndProgram never return.
struct ServiceTable {
  void (*RaiseRuntimeError)(int32_t code, WindowId window, UnitId unit);
  void* (*CallDllCommand)(int32_t index);  // the routine to jump to with the caller's arguments
  ArgRecord (*CallLibraryCommand)(CommandRoutine routine, int32_t library, int32_t count, ArgRecord* args);
  ArgRecord (*CallCoreCommand)(CommandRoutine routine, int32_t count, ArgRecord* args);
  uint64_t (*GetProperty)(WindowId window, UnitId unit, int32_t property, int32_t selector);
  void (*SetProperty)(WindowId window, UnitId unit, int32_t property, int32_t selector, uint64_t payload);
  void* (*Allocate)(size_t size);
  void* (*Reallocate)(void* block, size_t size);
  void (*Free)(void* block);
  void (*EndProgram)(int32_t code);
  void (*RunMessageLoop)();
  void (*LoadWindow)(WindowId window);
  intptr_t (*NumberedService)(int32_t number, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4);
};

const ServiceTable& Services();

// Property access is answered by the windows-and-units layer.
void InstallPropertyServices(GetPropertyService get, SetPropertyService set);

}  // namespace runtime::services
