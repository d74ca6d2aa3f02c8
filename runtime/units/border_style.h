// The border styles the picture box and the draw panel share (0 none, 1 sunken,
// 2 raised frame, 3 thin sunken, 4 sunken in a frame, 5 a line).
#pragma once

#include <cstdint>

#include "platform/base/types.h"

namespace runtime::units {

// Replaces the window's border with style `style` (0 to 5; others add nothing)
// and redraws its frame.
void ApplyBorderStyle(platform::HWND window, int32_t style);

}  // namespace runtime::units
