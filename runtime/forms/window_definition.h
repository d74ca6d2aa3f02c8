// One window of the form data: what was read for it, and its unit list with
// the backup taken while the window is loaded.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/core/program.h"
#include "runtime/forms/unit_list.h"

namespace runtime::forms {

struct WindowDefinition {
  WindowId id = 0;
  // Read and kept; nothing interprets them.
  int32_t firstValue = 0;
  uint32_t secondValue = 0;
  std::string firstText;
  std::string secondText;
  UnitList units;
  // Empty while the window is not loaded; the unit list as it was when the
  // load began, swapped back when the window goes.
  UnitList backup;
};

// Reads every window definition of the form data, which must be consumed
// exactly. Event bindings are relocated in place: a stored -1 becomes 0 (no
// handler), an offset becomes 1 + the index of the routine at that offset in
// `routines`. None when anything does not hold, an offset naming no routine
// included.
std::optional<std::vector<WindowDefinition>> ReadFormData(std::span<const uint8_t> data,
                                                          std::span<const LogicRoutine> routines);

}  // namespace runtime::forms
