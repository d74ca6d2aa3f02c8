// The typed face of what units and libraries exchange with the runtime:
// requests through a notification entry with their records filled here, and
// property values as texts and byte runs. The words themselves (the notification entry, the value pairs, the
// window's data) stay as they are; every cast between an address and such a
// word is one of the few in runtime/core/value.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "runtime/core/notification.h"
#include "runtime/core/program.h"

namespace runtime {

// Requests through one notification entry: the runtime's own for the units
// of the core library (Runtime()), the one a library was handed with code 1
// for that library's units.
class RuntimeCalls {
 public:
  explicit RuntimeCalls(NotifyRoutine entry) : entry_(entry) {}

  // Raises event `key` of a unit (unit 0: of its window) with up to five
  // arguments (notify::kRaiseEvent); the record comes back with the handler's
  // result.
  EventRecord RaiseEvent(WindowId window, UnitId unit, int32_t key,
                         std::initializer_list<intptr_t> arguments = {}) const;
  // The long form (notify::kRaiseEventEx): one text argument passed by reference, so the
  // handler may put another text in its place. The text is copied into the
  // runtime's memory for the handler and freed after it, whichever text the
  // variable then holds. False when the copy cannot be had.
  bool RaiseTextEvent(WindowId window, UnitId unit, int32_t key, std::string_view text) const;

  // The live object of a unit (notify::kFindUnitObjectOrFail); a unit that is not there ends the
  // program through the runtime's fatal error.
  UnitObject* FindUnitObject(WindowId window, UnitId unit) const;
  // The same, as the unit type the caller expects, or null when it is another.
  template <class Unit>
  Unit* FindUnit(WindowId window, UnitId unit) const {
    return dynamic_cast<Unit*>(FindUnitObject(window, unit));
  }

  // A unit object (unit 0: the window's) has gone (notify::kObjectDestroyed).
  void ObjectDestroyed(WindowId window, UnitId unit) const;
  // Whether a picture was registered with the runtime's table (notify::kIsPictureRegistered).
  bool IsPictureRegistered(const void* picture) const;
  // Events are held back from the first call until the matching second
  // (notify::kSuppressEvents, notify::kAllowEvents).
  void SuppressEvents() const;
  void AllowEvents() const;

 private:
  intptr_t Call(int32_t code, intptr_t arg1 = 0, intptr_t arg2 = 0) const {
    return entry_ ? entry_(code, arg1, arg2) : 0;
  }
  NotifyRoutine entry_;
};

// The runtime's own entry.
RuntimeCalls Runtime();

// Property values as unit types exchange them: a text is (address, 0), a
// byte run (address, length).
RawValue TextValue(const char* text);
RawValue BytesValue(std::span<const uint8_t> bytes);
const char* ValueText(const RawValue& value);
// Empty for a null address or a length below 1.
std::span<const uint8_t> ValueBytes(const RawValue& value);

}  // namespace runtime
