// Where a picture of a given size goes in a client area, by display mode.
#pragma once

#include <cstdint>

#include "platform/base/types.h"

namespace runtime::units::picture_box {

// Display modes of the picture units.
namespace display_mode {
inline constexpr int32_t kOwnSize = 0;   // own size at the top-left corner
inline constexpr int32_t kStretch = 1;   // stretched over the client area
inline constexpr int32_t kFit = 2;       // centred, shrunk to fit, never enlarged
inline constexpr int32_t kAutoSize = 3;  // the box takes the picture's size, then stretches
}  // namespace display_mode

// Centres a w x h picture in a W x H area, shrinking it (keeping its aspect)
// when it does not fit.
platform::RECT FitPicture(int32_t areaWidth, int32_t areaHeight, int32_t width, int32_t height);

// The rectangle the picture is drawn to for a display mode.
platform::RECT PlacePicture(int32_t mode, int32_t areaWidth, int32_t areaHeight, int32_t width, int32_t height);

}  // namespace runtime::units::picture_box
