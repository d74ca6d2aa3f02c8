// DCs over windows: they draw into the top-level window's surface, clipped
// to the part of the window that is visible at the time of each drawing call.
#pragma once

#include "platform/gdi/gdi_types.h"

namespace platform {

// A DC that draws into the window's client area.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// The paint DC draws only inside the window's update area, which BeginPaint
// takes and validates; rcPaint is that area within the visible part. The
// area stays a limit under the DC's clip: SelectClipRgn(dc, 0) keeps it.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

}  // namespace platform
