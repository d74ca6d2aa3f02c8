#include "runtime/units/drop_object/core_link.h"

#include "runtime/core/notify.h"

namespace runtime::units::drop_object {
namespace {

// The library's only state: set by the core before it creates any unit,
// kept for the life of the process as the library's entry contract asks.
NotifyRoutine& StoredCore() {
  static NotifyRoutine core = nullptr;
  return core;
}

}  // namespace

intptr_t DragDropNotify(int32_t code, intptr_t arg1, intptr_t /*arg2*/) {
  if (code != notify::kLibraryAttach) return -1;
  StoredCore() = RoutineIn<NotifyRoutine>(arg1);
  return 0;
}

RuntimeCalls Core() { return RuntimeCalls(StoredCore()); }

}  // namespace runtime::units::drop_object
