// The way back in from a display backend: what the user did to a native
// window becomes window state and messages. Call on the window's thread.
// Each call changes the window as the platform's own calls would; the
// backend then hears the new state through OnTopLevelChanged and, having
// recorded it first, applies nothing back.
#pragma once

#include <memory>
#include <string_view>

#include "platform/base/types.h"
#include "platform/gdi/raster/surface.h"

namespace platform {

// The window manager moved or resized the client area (screen coordinates).
void NativeClientMoved(HWND hwnd, const RECT& clientOnScreen);
// The close box: WM_SYSCOMMAND with SC_CLOSE, as the frame's close box gives.
void NativeCloseRequested(HWND hwnd);
// The native window got or lost the keyboard focus.
void NativeFocusChanged(HWND hwnd, bool focused);
// A mouse message (WM_MOUSEMOVE, WM_xBUTTONDOWN/UP) at a point of the
// top-level window's client area with the keys held (MK_ bits): posted to the deepest
// enabled window there, in its client coordinates. A button press activates
// the window. Returns the cursor to show there (0: the default arrow).
HCURSOR NativeMouse(HWND hwnd, UINT message, POINT client, WPARAM keys);
// A key of the top-level window was pressed or released: WM_KEYDOWN or
// WM_KEYUP (WM_SYSKEYDOWN/UP while Alt is held) to the window with the focus,
// or to the window itself when the focus is not inside it; a press that
// types `ansi` (bytes in the ANSI code page) then posts one WM_CHAR per byte.
// A disabled window takes no keys, but the key's held state is kept. A key
// without a virtual-key code (0) only types.
void NativeKey(HWND hwnd, UINT virtualKey, bool pressed, std::string_view ansi = {});

// The surface a top-level window's client area shows; null when it has none.
std::shared_ptr<Surface> TopLevelSurface(HWND hwnd);

}  // namespace platform
