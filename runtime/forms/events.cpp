#include "runtime/forms/events.h"
#include "runtime/core/notify.h"

#include "runtime/core/ansi.h"
#include "runtime/core/application.h"
#include "runtime/core/fatal_error.h"
#include "runtime/forms/unit_types.h"
#include "runtime/forms/window_table.h"

namespace runtime::forms {
namespace {

constexpr uint32_t kMenuItemType = 0x00010003;

// The routine bound to (window, unit, key), or null. Sets the current event.
HandlerRoutine FindHandler(WindowId window, UnitId unit, int32_t key) {
  Application& app = App();
  if (app.eventSuppression > 0) return nullptr;
  WindowTable* table = Windows();
  WindowDefinition* definition = table ? table->Find(window) : nullptr;
  if (!definition) FatalError(Ansi("未找到引发事件的窗口"), 0, window, unit);
  const UnitList& units = definition->units;
  int32_t index = WindowTable::RecordIndex(*definition, unit);
  if (index == kNoIndex) FatalError(Ansi("未找到引发事件的窗口组件"), 0, window, unit);

  // A unit may use another unit's bindings: one of the same window and type.
  // The chain is followed at most once around the list, so a loop in it ends.
  for (int32_t steps = 0; steps < units.Count() && !units.IsMenuItem(index); ++steps) {
    const UnitId source = units.EventSource(index);
    if (source == 0) break;
    const int32_t next = units.IndexOf(source);
    if (next == kNoIndex || units.IsMenuItem(next) || units.UnitType(next) != units.UnitType(index)) break;
    index = next;
  }

  const uint32_t typeCode = units.UnitType(index);
  const UnitTypeDescriptor* type = DescriptorOf(typeCode);
  if (!type || !(type->typeFlags & type_flag::kRaisesEvents))
    FatalError(Ansi("引发事件的窗口组件无效"), 0, window, unit);

  int32_t handler = 0;
  if (typeCode == kMenuItemType && units.IsMenuItem(index)) {
    handler = units.MenuHandler(index);
  } else {
    for (const Binding& binding : units.Bindings(index)) {
      if (binding.key == key) {
        handler = binding.handler;
        break;
      }
    }
  }
  const auto routines = table->Routines();
  if (handler <= 0 || static_cast<size_t>(handler) > routines.size()) return nullptr;
  app.currentEventWindow = window;
  app.currentEventUnit = unit != 0 ? unit : units.IdAt(0);
  return routines[static_cast<size_t>(handler) - 1].routine;
}

// One argument of the long form, widened as the handler receives it.
uint64_t PassedValue(const EventArgument& argument) {
  if (argument.flags & 1) return argument.value;  // a reference: the address
  if ((argument.flags & 2) || argument.tag == kMenuItemType) return argument.value;
  switch (argument.tag) {
    case TypeByte: return argument.value & 0xFF;
    case TypeShort: return static_cast<uint64_t>(static_cast<int64_t>(static_cast<int16_t>(argument.value & 0xFFFF)));
    case TypeInt:
    case TypeBool:
    case TypeFloat:
    case TypeNone: return argument.value & 0xFFFFFFFF;
    default: return argument.value;  // both words, or an address
  }
}

void Call(HandlerRoutine routine, HandlerCall& call) {
  routine(call);
  App().currentEventWindow = 0;  // not restored: an outer handler sees no current event
}

}  // namespace

intptr_t RaiseEvent(EventRecord& record) {
  HandlerRoutine routine = FindHandler(record.window, record.unit, record.key);
  if (!routine) return 0;
  HandlerCall call;
  call.count = record.argumentCount < 0 ? 0 : record.argumentCount > 5 ? 5 : record.argumentCount;
  for (int32_t i = 0; i < call.count; ++i) call.arguments[i] = static_cast<uint64_t>(record.arguments[i]);
  Call(routine, call);
  if (call.hasResult) {
    record.resultFlag = 1;
    record.result = static_cast<int32_t>(call.result);
  }
  return 1;
}

intptr_t RaiseEventEx(EventRecordEx& record) {
  HandlerRoutine routine = FindHandler(record.window, record.unit, record.key);
  if (!routine) return 0;
  HandlerCall call;
  call.count = record.argumentCount < 0 ? 0 : record.argumentCount > 12 ? 12 : record.argumentCount;
  for (int32_t i = 0; i < call.count; ++i) call.arguments[i] = PassedValue(record.arguments[i]);
  Call(routine, call);
  if (call.hasResult) {
    record.resultFlag = 1;
    record.result = call.result;
  }
  return 1;
}

intptr_t CurrentEvent(int32_t* words) {
  const Application& app = App();
  if (!words || app.currentEventWindow == 0) return 0;
  words[0] = app.currentEventWindow;
  words[1] = app.currentEventUnit;
  return 1;
}

}  // namespace runtime::forms
