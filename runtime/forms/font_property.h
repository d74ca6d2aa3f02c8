// The font data type: one item of a LOGFONT chosen by a selector, or the
// whole font as a FontRecord.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi_types.h"
#include "runtime/core/program.h"

namespace runtime::forms {

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
