// The notifications and services the windows-and-units layer answers.
#include <memory>

#include "runtime/core/ansi.h"
#include "runtime/core/application.h"
#include "runtime/core/fatal_error.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/services/services.h"
#include "runtime/core/shutdown.h"
#include "runtime/forms/events.h"
#include "runtime/forms/loader.h"
#include "runtime/forms/properties.h"
#include "runtime/forms/unit_types.h"
#include "runtime/forms/window_table.h"

namespace runtime::forms {

using services::InstallPropertyServices;
namespace {

intptr_t Answer(int32_t code, intptr_t a1, intptr_t a2) {
  WindowTable* table = Windows();
  const auto window = static_cast<WindowId>(a1);
  const auto unit = static_cast<UnitId>(a2);
  switch (code) {
    case notify::kWindowTable: return AddressWord(table);
    case notify::kUnitTypeDescriptor: return AddressWord(DescriptorOf(static_cast<uint32_t>(a1)));
    case notify::kObjectDestroyed:
      if (table)
        table->OnObjectDestroyed(window, unit);
      else
        OnRuntimeObjectDestroyed();
      return 0;
    case notify::kLoadWindow: return LoadFromRequest(AddressIn<const LoadRequest>(a1));
    case notify::kFindUnitObject: return AddressWord(table ? table->FindUnitObject(window, unit) : nullptr);
    case notify::kFindUnitObjectOrFail: {
      UnitObject* object = table ? table->FindUnitObject(window, unit) : nullptr;
      if (!object) FatalError(Ansi("指定窗口或窗口组件不存在或尚未载入"), 0, window, unit);
      return AddressWord(object);
    }
    case notify::kRaiseEvent: return RaiseEvent(*AddressIn<EventRecord>(a1));
    case notify::kRaiseEventEx: return RaiseEventEx(*AddressIn<EventRecordEx>(a1));
    case notify::kCurrentEvent: return CurrentEvent(AddressIn<int32_t>(a1));
    case notify::kUnitTypeOf: {
      const WindowDefinition* definition = table ? table->Find(window) : nullptr;
      const int32_t index = definition ? WindowTable::RecordIndex(*definition, unit) : kNoIndex;
      // A menu item's record begins with its type as every other record does.
      return index == kNoIndex ? 0 : static_cast<intptr_t>(definition->units.UnitType(index));
    }
    case notify::kWindowCount: return table ? static_cast<intptr_t>(table->Size()) : 0;
    case notify::kWindowHandleAt: {
      if (!table || a1 < 0 || static_cast<size_t>(a1) >= table->Size()) return 0;
      UnitObject* object = table->LiveObject(table->At(static_cast<size_t>(a1)), 0);
      return object ? static_cast<intptr_t>(object->WindowHandle()) : 0;
    }
    default: return 0;
  }
}

}  // namespace

WindowTable* Windows() { return dynamic_cast<WindowTable*>(InstalledWindowRegistry()); }

void InstallForms() {
  InstallWindowRegistry(std::make_unique<WindowTable>());
  for (int32_t code :
       {notify::kWindowTable, notify::kUnitTypeDescriptor, notify::kObjectDestroyed, notify::kLoadWindow,
        notify::kFindUnitObject, notify::kFindUnitObjectOrFail, notify::kRaiseEvent, notify::kRaiseEventEx,
        notify::kCurrentEvent, notify::kUnitTypeOf, notify::kWindowCount, notify::kWindowHandleAt})
    InstallNotificationHandler(code, &Answer);
  InstallPropertyServices(&GetProperty, &SetProperty);
}

}  // namespace runtime::forms
