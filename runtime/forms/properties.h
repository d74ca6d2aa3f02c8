// Unit property access: the common properties 0 to 7 served from the unit
// record and the live window, the type's own properties converted between the
// caller's value form and the unit type's raw form.
#pragma once

#include <cstdint>

#include "runtime/core/value.h"

namespace runtime::forms {

uint64_t GetProperty(WindowId window, UnitId unit, int32_t property, int32_t selector);
void SetProperty(WindowId window, UnitId unit, int32_t property, int32_t selector, uint64_t payload);

// The whole font as get property returns it for selector -1 and set property
// takes it. The face name is a text the caller owns.
struct FontRecord {
  int32_t angle = 0;  // tenths of a degree
  int32_t bold = 0;
  int32_t italic = 0;
  int32_t strikeOut = 0;
  int32_t underline = 0;
  int32_t points = 0;
  const char* face = nullptr;
};

}  // namespace runtime::forms
