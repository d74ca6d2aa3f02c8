// Rendering a decoded photograph at the size it is shown, straight from its
// colour rows. A box showing an 18 MP photograph at 182 x 182 then never
// builds the full-size device bitmap that drawing a picture otherwise goes
// through; the stretch is the drawing layer's own, so the pixels are the same.
#pragma once

#include "platform/base/types.h"
#include "runtime/picture/picture.h"

namespace runtime::picture::drawing {

// The part `part` of the picture stretched over `place` (both in the same
// coordinates, `part` inside `place`) as a new 32-bit bitmap of part's size,
// resampled as `stretchMode` says (HALFTONE averages, anything else takes
// the nearest pixel). 0 for kinds other than JPEG and BMP, for a pixel block
// too short for the picture, or when no bitmap can be had.
platform::HBITMAP RenderColourRows(const Picture& picture, const platform::RECT& place, const platform::RECT& part,
                                   int stretchMode);

}  // namespace runtime::picture::drawing
