// Where a picture goes when it is fitted into a frame: centred at its own
// size when it fits, otherwise shrunk to fit with its proportions kept. Never
// enlarged. The picture box's fitted mode and the draw panel's fitted
// background use the same rule.
#pragma once

#include <cstdint>

#include "platform/base/types.h"

namespace runtime::units::draw_panel {

// The picture's rectangle, in the frame's coordinates.
platform::RECT FitPicture(const platform::RECT& frame, int32_t pictureWidth, int32_t pictureHeight);

}  // namespace runtime::units::draw_panel
