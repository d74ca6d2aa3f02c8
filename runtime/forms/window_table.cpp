#include "runtime/forms/window_table.h"

#include "platform/windows/window.h"
#include "runtime/core/application.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/forms/unit_types.h"

namespace runtime::forms {

uint32_t ObjectTable::Add(UnitObject* object) {
  if (!object || !platform::IsWindow(object->WindowHandle())) return 0;
  while (next_ == 0 || objects_.count(next_)) ++next_;
  objects_[next_] = Entry{object, object->WindowHandle()};
  return next_++;
}

UnitObject* ObjectTable::Get(uint32_t key) const {
  auto it = objects_.find(key);
  if (it == objects_.end() || !platform::IsWindow(it->second.window)) return nullptr;
  return it->second.object;
}

void ObjectTable::Remove(uint32_t key) { objects_.erase(key); }

WindowTable::~WindowTable() { Clear(); }

bool WindowTable::ReadFormData(std::span<const uint8_t> data, std::span<const LogicRoutine> routines) {
  auto read = forms::ReadFormData(data, routines);
  if (!read) return false;
  routines_.assign(routines.begin(), routines.end());
  for (WindowDefinition& definition : *read) definitions_.push_back(std::move(definition));
  return true;
}

WindowDefinition* WindowTable::Find(WindowId window) {
  if (!IsValidId(static_cast<uint32_t>(window))) return nullptr;
  for (WindowDefinition& definition : definitions_)
    if (definition.id == window) return &definition;
  return nullptr;
}

const WindowDefinition* WindowTable::Find(WindowId window) const {
  return const_cast<WindowTable*>(this)->Find(window);
}

bool WindowTable::AnyWindowAlive() const {
  for (const WindowDefinition& definition : definitions_)
    if (IsLoaded(definition)) return true;
  return false;
}

std::vector<WindowId> WindowTable::LiveWindows() const {
  std::vector<WindowId> live;
  for (const WindowDefinition& definition : definitions_)
    if (IsLoaded(definition)) live.push_back(definition.id);
  return live;
}

void WindowTable::Clear() {
  // What is still loaded goes with the table; its teardown must not reach
  // definitions that are being released.
  clearing = true;
  for (WindowDefinition& definition : definitions_) {
    if (UnitObject* window = LiveObject(definition, 0)) platform::DestroyWindow(window->WindowHandle());
  }
  definitions_.clear();
  clearing = false;
}

std::optional<std::string> WindowTable::WindowTag(WindowId window) const {
  const WindowDefinition* definition = Find(window);
  if (!definition || definition->units.Count() < 1) return std::nullopt;
  return definition->units.Tag(0);
}

std::optional<std::string> WindowTable::UnitTag(WindowId window, UnitId unit) const {
  const WindowDefinition* definition = Find(window);
  if (!definition) return std::nullopt;
  // Unit 0 names the window's first unit record.
  const int32_t index = unit == 0 ? (definition->units.Count() > 1 ? 1 : kNoIndex) : definition->units.IndexOf(unit);
  if (index == kNoIndex || definition->units.IsMenuItem(index)) return std::nullopt;
  return definition->units.Tag(index);
}

int32_t WindowTable::RecordIndex(const WindowDefinition& definition, UnitId unit) {
  if (unit == 0) return definition.units.Count() > 0 ? 0 : kNoIndex;
  return definition.units.IndexOf(unit);
}

UnitObject* WindowTable::LiveObject(const WindowDefinition& definition, int32_t index) const {
  if (index < 0 || index >= definition.units.Count() || definition.units.IsMenuItem(index)) return nullptr;
  return objects_.Get(definition.units.ObjectSlot(index));
}

UnitObject* WindowTable::FindUnitObject(WindowId window, UnitId unit) {
  const WindowDefinition* definition = Find(window);
  return definition ? LiveObject(*definition, RecordIndex(*definition, unit)) : nullptr;
}

int32_t WindowTable::RecordIndexOfHandle(const WindowDefinition& definition, platform::HWND hwnd, bool climb) const {
  for (int pass = 0; pass < (climb ? 2 : 1); ++pass) {
    for (int32_t i = 0; i < definition.units.Count(); ++i) {
      if (definition.units.IsMenuItem(i)) continue;
      UnitObject* object = LiveObject(definition, i);
      if (!object) continue;
      if (object->WindowHandle() == hwnd) return i == 0 ? -1 : i;
      const UnitTypeDescriptor* type = DescriptorOf(definition.units.UnitType(i));
      if (type && (type->typeFlags & 0x200200) && platform::IsChild(object->WindowHandle(), hwnd)) return i;
    }
    hwnd = platform::GetParent(hwnd);
    if (!hwnd) break;
  }
  return -1;
}

void WindowTable::StoreObject(WindowDefinition& definition, int32_t index, UnitObject* object) {
  objects_.Remove(definition.units.ObjectSlot(index));
  definition.units.SetObjectSlot(index, objects_.Add(object));
}

}  // namespace runtime::forms
