// The font data type: one item of a LOGFONT chosen by a selector, or the
// whole font as a FontRecord.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi_types.h"
#include "runtime/core/program.h"

namespace runtime::forms {

// The value get property returns for `selector` from the unit's raw font
// (address, 60); a raw value of another length stands for the default font.
uint64_t FontValue(const RawValue& raw, int32_t selector);
// Changes `font` as set property with `selector` and `payload` asks; for
// selector -1 the font is built from the record alone. False when there is no
// record for -1 (the unit is then handed address 0, length 0).
bool ChangeFont(platform::LOGFONTA& font, int32_t selector, uint64_t payload);
// The unit's current font from its raw value, or the default GUI font.
platform::LOGFONTA FontOf(const RawValue& raw);

}  // namespace runtime::forms
