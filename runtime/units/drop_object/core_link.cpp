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
  StoredCore() = reinterpret_cast<NotifyRoutine>(arg1);
  return 0;
}

intptr_t CallCore(int32_t code, intptr_t arg1, intptr_t arg2) {
  NotifyRoutine core = StoredCore();
  return core ? core(code, arg1, arg2) : 0;
}

}  // namespace runtime::units::drop_object
