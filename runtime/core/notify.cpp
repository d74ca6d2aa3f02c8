#include "runtime/core/notify.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/windows/window.h"
#include "runtime/core/ansi.h"
#include "runtime/core/application.h"
#include "runtime/core/fatal_error.h"
#include "runtime/core/memory.h"
#include "runtime/core/message_pump.h"
#include "runtime/core/shutdown.h"
#include "runtime/core/value_convert.h"

namespace runtime {
namespace {

bool IsServedCode(int32_t code) { return (code >= 1000 && code <= 1014) || (code >= 2000 && code <= 2040); }

// Frees an array block whose elements may be texts or byte arrays.
void FreeArray(TypeTag elementTag, void* block) {
  if (!block || App().InConstantBlock(block)) return;
  elementTag &= ~TypeArrayFlag;
  if (elementTag == TypeText || elementTag == TypeByteArray) {
    auto* bytes = static_cast<uint8_t*>(block);
    int32_t dimensions;
    std::memcpy(&dimensions, bytes, 4);
    uint64_t count = dimensions > 0 ? 1 : 0;
    for (int32_t i = 0; i < dimensions && count; ++i) {
      int32_t size;
      std::memcpy(&size, bytes + 4 + 4 * i, 4);
      count = size > 0 ? count * static_cast<uint64_t>(size) : 0;
      if (count > std::numeric_limits<int32_t>::max()) count = 0;  // not a block the runtime made
    }
    uint8_t* elements = bytes + 4 + 4 * static_cast<size_t>(std::max(dimensions, 0));
    for (uint64_t i = 0; i < count; ++i) {
      void* element;
      std::memcpy(&element, elements + i * sizeof(void*), sizeof(void*));
      Free(element);
    }
  }
  Free(block);
}

void AddIdleRoutine(const IdleRegistration* registration) {
  if (!registration || !registration->routine || !platform::IsWindow(registration->window)) return;
  for (const IdleEntry& entry : App().idleRoutines)
    if (entry.window == registration->window) return;
  App().idleRoutines.push_back(IdleEntry{registration->window, registration->routine, registration->argument});
}

void RemoveIdleRoutine(platform::HWND window) {
  auto& list = App().idleRoutines;
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->window == window) {
      list.erase(it);
      return;
    }
  }
}

}  // namespace

void InstallNotificationHandler(int32_t code, NotifyRoutine handler) { App().handlers[code] = handler; }

intptr_t NotifyRuntime(int32_t code, intptr_t arg1, intptr_t arg2) {
  Application& app = App();
  if (!IsServedCode(code)) return 0;
  if ((code == notify::kRaiseEvent || code == notify::kRaiseEventEx) && app.eventSuppression > 0) return 0;
  if (auto it = app.handlers.find(code); it != app.handlers.end() && it->second) return it->second(code, arg1, arg2);

  switch (code) {
    case notify::kObjectDestroyed: OnRuntimeObjectDestroyed(); return 0;
    case notify::kValueToInteger: return ValueToInteger(*AddressIn<const ArgRecord>(arg1));
    case notify::kProgramDirectory: return AddressWord(app.programDirectory.c_str());
    case notify::kProgramFileName: return AddressWord(app.programFileName.c_str());
    case notify::kLoadWindow: return -1;
    case notify::kFindUnitObjectOrFail:
      // Without a window table no unit exists.
      FatalError(Ansi("指定窗口或窗口组件不存在或尚未载入"), 0, static_cast<WindowId>(arg1), static_cast<UnitId>(arg2));
    case notify::kSuppressEvents:
      ProcessPendingMessages();
      ++app.eventSuppression;
      return 0;
    case notify::kAllowEvents:
      ProcessPendingMessages();
      if (app.eventSuppression > 0) --app.eventSuppression;
      return 0;
    case notify::kProcessMessages: ProcessPendingMessages(); return 0;
    case notify::kFreeArray: FreeArray(static_cast<TypeTag>(arg1), AddressIn<void>(arg2)); return 0;
    case notify::kAllocate:
      return AddressWord(arg2 ? TryAllocate(static_cast<size_t>(arg1)) : Allocate(static_cast<size_t>(arg1)));
    case notify::kFree: Free(AddressIn<void>(arg1)); return 0;
    case notify::kReallocate: return AddressWord(Reallocate(AddressIn<void>(arg1), static_cast<size_t>(arg2)));
    case notify::kRuntimeError: FatalError(TextView(AddressIn<const char>(arg1)), 0, 0, 0);
    case notify::kEndProgram: EndProgram(static_cast<int32_t>(arg1));
    case notify::kProgramKind: return app.programKind;
    case notify::kAddIdleRoutine: AddIdleRoutine(AddressIn<const IdleRegistration>(arg1)); return 0;
    case notify::kRemoveIdleRoutine: RemoveIdleRoutine(static_cast<platform::HWND>(arg1)); return 0;
    default:
      return 0;  // notify::kFindUnitObject, notify::kRaiseEvent, notify::kRaiseEventEx, notify::kIsPictureRegistered,
                 // notify::kWindowCount, ...: nothing to find without their layer
  }
}

}  // namespace runtime
