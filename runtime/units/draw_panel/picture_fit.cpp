#include "runtime/units/draw_panel/picture_fit.h"

#include <algorithm>

namespace runtime::units::draw_panel {

platform::RECT FitPicture(const platform::RECT& frame, int32_t pictureWidth, int32_t pictureHeight) {
  int64_t left = frame.left, top = frame.top;
  int64_t available = int64_t{frame.right} - frame.left;
  int64_t availableHeight = int64_t{frame.bottom} - frame.top;
  int64_t width = pictureWidth, height = pictureHeight;
  if (available >= width) {
    left += (available - width) / 2;
    available = width;
  }
  if (availableHeight >= height) {
    top += (availableHeight - height) / 2;
    availableHeight = height;
  }
  if ((width > available || height > availableHeight) && width > 0 && height > 0) {
    // An empty frame leaves nothing to draw rather than a negative size.
    const double scale = std::max(0.0, std::min(static_cast<double>(available) / static_cast<double>(width),
                                                static_cast<double>(availableHeight) / static_cast<double>(height)));
    width = static_cast<int64_t>(static_cast<double>(width) * scale);
    height = static_cast<int64_t>(static_cast<double>(height) * scale);
    left += (available - width) / 2;
    top += (availableHeight - height) / 2;
  }
  return platform::RECT{static_cast<platform::LONG>(left), static_cast<platform::LONG>(top),
                        static_cast<platform::LONG>(left + width), static_cast<platform::LONG>(top + height)};
}

}  // namespace runtime::units::draw_panel
