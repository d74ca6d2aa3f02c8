// Unit property access: the common properties 0 to 7 served from the unit
// record and the live window, the type's own properties converted between the
// caller's value form and the unit type's raw form.
#pragma once

#include <cstdint>

#include "runtime/core/value.h"
#include "runtime/forms/font_property.h"  // FontRecord, the font data type's value

namespace runtime::forms {

uint64_t GetProperty(WindowId window, UnitId unit, int32_t property, int32_t selector);
void SetProperty(WindowId window, UnitId unit, int32_t property, int32_t selector, uint64_t payload);

}  // namespace runtime::forms
