// Where a window's drawing lands: its top-level window's client surface,
// clipped to the part of the window that is visible.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/types.h"
#include "platform/gdi/raster/surface.h"

namespace platform {

// False for a bad handle. With `wholeWindow` the target is the window
// rectangle, frame included, and `origin` its top-left corner.
bool QueryWindowDrawTarget(HWND hwnd, WindowDrawTarget* out, bool wholeWindow = false);

// Removes `hole` from a list of disjoint rectangles.
void SubtractRect(std::vector<RECT>& area, const RECT& hole);

}  // namespace platform
