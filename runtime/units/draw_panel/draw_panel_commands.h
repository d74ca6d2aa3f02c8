// The draw panel's two methods as core library commands. Argument 0 is the
// panel's unit reference.
#pragma once

#include <cstdint>

#include "runtime/core/value.h"

namespace runtime::units::draw_panel {

// Picture handle, x, y, then optionally width, height (scale units) and mode:
// 1 or omitted copies, 2 inverted copy, 3 XOR, 4 OR, 5 AND, -k leaves colour
// k transparent, any other value is the raster operation itself. No result.
void DrawPicture(runtime::ArgRecord* result, int32_t count, runtime::ArgRecord* args);
// Optionally width, height (pixels; 0 the canvas's own, -p p percent of it,
// at least 10): the canvas as the bytes of a 24-bit BMP file, or an empty
// byte array.
void GetPicture(runtime::ArgRecord* result, int32_t count, runtime::ArgRecord* args);

}  // namespace runtime::units::draw_panel
