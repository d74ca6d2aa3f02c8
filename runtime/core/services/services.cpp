#include "runtime/core/services/services.h"
#include "runtime/core/services/message_loop.h"

#include <cstring>

#include "runtime/core/ansi.h"
#include "runtime/core/application.h"
#include "runtime/core/services/dll_commands.h"
#include "runtime/core/fatal_error.h"
#include "runtime/core/services/find_file.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/memory.h"
#include "runtime/core/shutdown.h"

namespace runtime::services {
namespace {

ArgRecord CallCommand(CommandRoutine routine, int32_t count, ArgRecord* args) {
  ArgRecord result{};
  routine(&result, count, args);
  return result;
}

ArgRecord CallLibrary(CommandRoutine routine, int32_t /*library*/, int32_t count, ArgRecord* args) {
  return CallCommand(routine, count, args);
}

[[noreturn]] void MissingWindow(WindowId window, UnitId unit) {
  FatalError(Ansi("未载入欲访问窗口组件所在的窗口"), 0, window, unit);
}

uint64_t GetPropertyEntry(WindowId window, UnitId unit, int32_t property, int32_t selector) {
  const WindowRegistry* registry = InstalledWindowRegistry();
  if (!App().getProperty || !registry || !registry->HasWindow(window)) MissingWindow(window, unit);
  return App().getProperty(window, unit, property, selector);
}

void SetPropertyEntry(WindowId window, UnitId unit, int32_t property, int32_t selector, uint64_t payload) {
  const WindowRegistry* registry = InstalledWindowRegistry();
  if (!App().setProperty || !registry || !registry->HasWindow(window)) MissingWindow(window, unit);
  App().setProperty(window, unit, property, selector, payload);
}

void LoadWindowEntry(WindowId window) {
  WindowRegistry* registry = InstalledWindowRegistry();
  if (!registry) FatalError(Ansi("载入启动窗口失败"), 0, window, 0);
  registry->LoadWindow(window);
}

// Replaces an array that lies in the constant block by a heap copy.
void CopyArrayOutOfConstants(int32_t elementSize, void** array) {
  if (!array || !App().InConstantBlock(*array) || elementSize < 0) return;
  const auto* block = static_cast<const uint8_t*>(*array);
  const uint8_t* end = App().constantEnd;
  int32_t dimensions = 0;
  if (end - block < 4) return;
  std::memcpy(&dimensions, block, 4);
  if (dimensions < 0 || end - block < 4 + 4 * static_cast<int64_t>(dimensions)) return;
  uint64_t count = 1;
  for (int32_t i = 0; i < dimensions; ++i) {
    int32_t size;
    std::memcpy(&size, block + 4 + 4 * i, 4);
    count *= static_cast<uint64_t>(size > 0 ? size : 0);
    if (count > 0x7FFFFFFF) count = 0x7FFFFFFF;
  }
  size_t headerSize = 4 + 4 * static_cast<size_t>(dimensions);
  uint64_t total = headerSize + count * static_cast<uint64_t>(elementSize);
  if (total > 0x7FFFFFFF) total = 0x7FFFFFFF;
  size_t available = static_cast<size_t>(end - block);
  auto* copy = static_cast<uint8_t*>(Allocate(static_cast<size_t>(total)));
  std::memset(copy, 0, static_cast<size_t>(total));
  std::memcpy(copy, block, total < available ? static_cast<size_t>(total) : available);
  *array = copy;
}

intptr_t Numbered(int32_t number, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4) {
  switch (number) {
    case numbered::kFindFile:
      return AddressWord(
          FindFile(AddressIn<const char>(a1), static_cast<uint32_t>(a2), a3 != 0, AddressIn<uint32_t>(a4)));
    case numbered::kCloseFind: CloseFind(static_cast<uint32_t>(a1)); return 0;
    case numbered::kCopyArrayOutOfConstants:
      CopyArrayOutOfConstants(static_cast<int32_t>(a1), AddressIn<void*>(a2));
      return 0;
    case numbered::kRegisterCleanupRoutine: RegisterCleanupRoutine(RoutineIn<CleanupRoutine>(a1)); return 0;
    case numbered::kGetObjectProperty:
    case numbered::kSetObjectProperty: return 0;  // no unit object is ever held in a variable here
    case numbered::kInitialiseRuntime: InitialiseRuntime(); return 0;
    default: return 0;
  }
}

void* AllocateEntry(size_t size) { return Allocate(size); }
void* ReallocateEntry(void* block, size_t size) { return Reallocate(block, size); }
void FreeEntry(void* block) { Free(block); }

const ServiceTable kServices = {
    &RaiseRuntimeError, &ResolveDllCommand, &CallLibrary,     &CallCommand, &GetPropertyEntry,
    &SetPropertyEntry,  &AllocateEntry,     &ReallocateEntry, &FreeEntry,   &EndProgram,
    &RunMessageLoop,    &LoadWindowEntry,   &Numbered,
};

}  // namespace

const ServiceTable& Services() { return kServices; }

void InstallPropertyServices(GetPropertyService get, SetPropertyService set) {
  App().getProperty = get;
  App().setProperty = set;
}

}  // namespace runtime::services
