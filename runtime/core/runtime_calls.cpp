#include "runtime/core/runtime_calls.h"

#include <algorithm>
#include <cstring>

#include "runtime/core/notify.h"

namespace runtime {

using namespace platform;

EventRecord RuntimeCalls::RaiseEvent(WindowId window, UnitId unit, int32_t key,
                                     std::initializer_list<intptr_t> arguments) const {
  EventRecord record;
  record.window = window;
  record.unit = unit;
  record.key = key;
  const size_t count = std::min(arguments.size(), std::size(record.arguments));
  std::copy_n(arguments.begin(), count, record.arguments);
  record.argumentCount = static_cast<int32_t>(count);
  Call(notify::kRaiseEvent, AddressWord(&record));
  return record;
}

bool RuntimeCalls::RaiseTextEvent(WindowId window, UnitId unit, int32_t key, std::string_view text) const {
  auto* copy = AddressIn<char>(Call(notify::kAllocate, static_cast<intptr_t>(text.size() + 1)));
  if (!copy) return false;
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  char* variable = copy;
  EventRecordEx record;
  record.window = window;
  record.unit = unit;
  record.key = key;
  record.argumentCount = 1;
  record.arguments[0] = EventArgument{AddressPayload(&variable), TypeText, 1};
  Call(notify::kRaiseEventEx, AddressWord(&record));
  // The handler may have put another text in the variable: that one is ours now.
  Call(notify::kFree, AddressWord(variable));
  return true;
}

UnitObject* RuntimeCalls::FindUnitObject(WindowId window, UnitId unit) const {
  return AddressIn<UnitObject>(Call(notify::kFindUnitObjectOrFail, window, unit));
}

void RuntimeCalls::ObjectDestroyed(WindowId window, UnitId unit) const { Call(notify::kObjectDestroyed, window, unit); }

bool RuntimeCalls::IsPictureRegistered(const void* picture) const {
  return picture && Call(notify::kIsPictureRegistered, AddressWord(picture)) != 0;
}

void RuntimeCalls::SuppressEvents() const { Call(notify::kSuppressEvents); }
void RuntimeCalls::AllowEvents() const { Call(notify::kAllowEvents); }

RuntimeCalls Runtime() { return RuntimeCalls(&NotifyRuntime); }

RawValue TextValue(const char* text) { return RawValue{AddressWord(text), 0}; }

RawValue BytesValue(std::span<const uint8_t> bytes) {
  return RawValue{AddressWord(bytes.data()), static_cast<intptr_t>(bytes.size())};
}

const char* ValueText(const RawValue& value) { return AddressIn<const char>(value.first); }

std::span<const uint8_t> ValueBytes(const RawValue& value) {
  if (!value.first || value.second < 1) return {};
  return {AddressIn<const uint8_t>(value.first), static_cast<size_t>(value.second)};
}

}  // namespace runtime
