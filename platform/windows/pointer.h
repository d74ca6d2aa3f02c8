// The pointer: where it is on the screen and which cursor it shows.
#pragma once

#include "platform/base/types.h"

namespace platform {

// Returns the cursor shown before; 0 hides the pointer.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
BOOL GetCursorPos(POINT* point);
// Moves the pointer (kept on the screen) and posts WM_MOUSEMOVE, in client
// coordinates, to the deepest visible window whose client area is under it.
BOOL SetCursorPos(int x, int y);

// While a window has the capture, the mouse messages of its top-level window
// go to it, wherever the pointer is. Returns the window that had it.
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
// 0 when none, or the window that had it is gone.
HWND GetCapture();

}  // namespace platform
