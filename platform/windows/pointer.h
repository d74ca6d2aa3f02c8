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

}  // namespace platform
