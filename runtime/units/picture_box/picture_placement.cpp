#include "runtime/units/picture_box/picture_placement.h"

#include <algorithm>
#include <cmath>

namespace runtime::units::picture_box {

using platform::RECT;

RECT FitPicture(int32_t areaWidth, int32_t areaHeight, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return RECT{};
  int32_t x = 0, y = 0;
  // A side that fits is centred at the picture's own size, and the area
  // narrows to it.
  if (areaWidth >= width) {
    x = (areaWidth - width) / 2;
    areaWidth = width;
  }
  if (areaHeight >= height) {
    y = (areaHeight - height) / 2;
    areaHeight = height;
  }
  int32_t shownWidth = width, shownHeight = height;
  if (width > areaWidth || height > areaHeight) {
    const double scale = std::min(static_cast<double>(areaWidth) / width, static_cast<double>(areaHeight) / height);
    shownWidth = static_cast<int32_t>(std::trunc(width * scale));
    shownHeight = static_cast<int32_t>(std::trunc(height * scale));
    x += (areaWidth - shownWidth) / 2;
    y += (areaHeight - shownHeight) / 2;
  }
  return RECT{x, y, x + shownWidth, y + shownHeight};
}

RECT PlacePicture(int32_t mode, int32_t areaWidth, int32_t areaHeight, int32_t width, int32_t height) {
  switch (mode) {
    case display_mode::kOwnSize: return RECT{0, 0, width, height};
    case display_mode::kFit: return FitPicture(areaWidth, areaHeight, width, height);
    default: return RECT{0, 0, areaWidth, areaHeight};
  }
}

}  // namespace runtime::units::picture_box
