// What the runtime core needs from the window table, which the
// windows-and-units layer implements and installs when the program starts.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/core/program.h"
#include "runtime/core/value.h"

namespace runtime {

class WindowRegistry {
 public:
  virtual ~WindowRegistry() = default;
  // Reads the window definitions, binding events to the program's routines;
  // false when the data cannot be read.
  virtual bool ReadFormData(std::span<const uint8_t> data, std::span<const LogicRoutine> routines) = 0;
  // True while some window definition has a live window.
  virtual bool AnyWindowAlive() const = 0;
  virtual std::vector<WindowId> LiveWindows() const = 0;
  // Releases every window definition with what it holds.
  virtual void Clear() = 0;
  virtual bool HasWindow(WindowId window) const = 0;
  // Tag text of the window's own record.
  virtual std::optional<std::string> WindowTag(WindowId window) const = 0;
  // Tag text of the unit record (unit 0: the window's first unit record);
  // none when there is no such record or it is a menu item.
  virtual std::optional<std::string> UnitTag(WindowId window, UnitId unit) const = 0;
  // The LoadWindow service; a window that cannot be loaded is fatal.
  virtual void LoadWindow(WindowId window) = 0;
};

void InstallWindowRegistry(std::unique_ptr<WindowRegistry> registry);
WindowRegistry* InstalledWindowRegistry();

}  // namespace runtime
