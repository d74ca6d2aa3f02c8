#include "platform/windows/pointer.h"

#include <algorithm>
#include <utility>

#include "platform/base/backend.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/windows/window_manager.h"

namespace platform {

HCURSOR SetCursor(HCURSOR cursor) {
  if (cursor && !gdi::Lookup<gdi::IconObject>(cursor, ObjectKind::Icon)) return 0;
  std::lock_guard lock(Manager().Lock());
  return std::exchange(Manager().cursor, cursor);
}

HCURSOR GetCursor() {
  std::lock_guard lock(Manager().Lock());
  return Manager().cursor;
}

BOOL GetCursorPos(POINT* point) {
  if (!point) return FALSE;
  std::lock_guard lock(Manager().Lock());
  *point = Manager().pointer;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  const SIZE screen = ScreenSize();
  const POINT at{std::clamp(x, 0, std::max(0, screen.cx - 1)), std::clamp(y, 0, std::max(0, screen.cy - 1))};
  HWND under = 0;
  POINT client{};
  {
    WindowManager& manager = Manager();
    std::lock_guard lock(manager.Lock());
    manager.pointer = at;
    // The topmost visible top-level window whose client area holds the point.
    for (HWND top : manager.TopLevel()) {
      auto window = manager.Find(top);
      if (!window || !(window->style & WS_VISIBLE)) continue;
      const RECT r = ClientRectOnScreen(*window);
      if (at.x < r.left || at.x >= r.right || at.y < r.top || at.y >= r.bottom) continue;
      under = ChildWindowFromPointDeep(top, POINT{at.x - r.left, at.y - r.top});
      break;
    }
    if (under) {
      auto window = manager.Find(under);
      const RECT r = ClientRectOnScreen(*window);
      client = POINT{at.x - r.left, at.y - r.top};
    }
  }
  // A point on a child's frame is not in its client area: no client message.
  if (under && client.x >= 0 && client.y >= 0) {
    RECT r{};
    GetClientRect(under, &r);
    if (client.x < r.right && client.y < r.bottom) {
      ChooseCursor(under, WM_MOUSEMOVE);
      PostMessageA(under, WM_MOUSEMOVE, 0, static_cast<LPARAM>((client.y & 0xFFFF) << 16 | (client.x & 0xFFFF)));
    }
  }
  return TRUE;
}

HWND SetCapture(HWND hwnd) {
  if (hwnd && !IsWindow(hwnd)) return 0;
  std::lock_guard lock(Manager().Lock());
  const HWND previous = std::exchange(Manager().capture, hwnd);
  return Manager().Find(previous) ? previous : 0;
}

BOOL ReleaseCapture() {
  SetCapture(0);
  return TRUE;
}

HWND GetCapture() {
  std::lock_guard lock(Manager().Lock());
  return Manager().Find(Manager().capture) ? Manager().capture : 0;
}

}  // namespace platform
