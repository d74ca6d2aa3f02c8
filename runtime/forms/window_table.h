// The application's window table: every window definition read from the form
// data, in form-data order, and what the runtime and the libraries ask of it
// (lookups, the live objects of loaded windows, loading, teardown).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/base/types.h"
#include "runtime/core/window_registry.h"
#include "runtime/forms/window_definition.h"

namespace runtime::forms {

// Object slots of unit records are 32 bits; they hold keys into this table.
// A unit object lives exactly as long as its window, and window handles are
// never reused, so an entry whose window has gone finds nothing: a stale slot
// never reaches freed memory.
class ObjectTable {
 public:
  // 0 for an object without a window.
  uint32_t Add(UnitObject* object);
  UnitObject* Get(uint32_t key) const;
  void Remove(uint32_t key);

 private:
  struct Entry {
    UnitObject* object;
    platform::HWND window;
  };
  std::map<uint32_t, Entry> objects_;
  uint32_t next_ = 1;
};

class WindowTable final : public WindowRegistry {
 public:
  WindowTable() = default;
  ~WindowTable() override;

  bool ReadFormData(std::span<const uint8_t> data, std::span<const LogicRoutine> routines) override;
  bool AnyWindowAlive() const override;
  std::vector<WindowId> LiveWindows() const override;
  void Clear() override;
  bool HasWindow(WindowId window) const override { return Find(window) != nullptr; }
  std::optional<std::string> WindowTag(WindowId window) const override;
  std::optional<std::string> UnitTag(WindowId window, UnitId unit) const override;
  void LoadWindow(WindowId window) override;

  // First match of a valid id; null when absent.
  WindowDefinition* Find(WindowId window);
  const WindowDefinition* Find(WindowId window) const;
  size_t Size() const { return definitions_.size(); }
  WindowDefinition& At(size_t index) { return definitions_[index]; }

  // The record of a unit: record 0 for unit 0; kNoIndex when there is none.
  static int32_t RecordIndex(const WindowDefinition& definition, UnitId unit);
  // The live object in a record's slot: it must exist and own a window.
  UnitObject* LiveObject(const WindowDefinition& definition, int32_t index) const;
  // notify::kFindUnitObject: none for a menu item, a record without a live object.
  UnitObject* FindUnitObject(WindowId window, UnitId unit);
  bool IsLoaded(const WindowDefinition& definition) const { return LiveObject(definition, 0) != nullptr; }
  // Record index of the unit whose window is `hwnd` (record 0 answers -1);
  // with `climb`, the handle's parent is tried once more.
  int32_t RecordIndexOfHandle(const WindowDefinition& definition, platform::HWND hwnd, bool climb) const;

  ObjectTable& Objects() { return objects_; }
  // Puts an object in a record's slot (null clears it).
  void StoreObject(WindowDefinition& definition, int32_t index, UnitObject* object);

  // notify::kObjectDestroyed.
  void OnObjectDestroyed(WindowId window, UnitId unit);
  // While set, notify::kObjectDestroyed is ignored (a unit is being re-created).
  bool recreating = false;
  // The window whose modal loop is running, 0 when none.
  WindowId modalWindow = 0;
  // Set while Clear() destroys what is still loaded.
  bool clearing = false;
  // The modal flag of the load in progress, for the window type's create.
  bool loadModal = false;

  // The routines that relocated bindings name (1-based in handler fields).
  std::span<const LogicRoutine> Routines() const { return routines_; }

 private:
  std::vector<WindowDefinition> definitions_;
  std::vector<LogicRoutine> routines_;
  ObjectTable objects_;
};

// The installed window table, or null before the forms layer is installed.
WindowTable* Windows();
// Installs the window table and every notification and service the layer
// answers; called once when the program starts.
void InstallForms();

}  // namespace runtime::forms
