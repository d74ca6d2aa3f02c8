// Window state: visibility, enabled state and the keyboard focus.
#include "platform/backend.h"
#include "platform/files.h"
#include "platform/window_manager.h"

namespace platform {

BOOL ShowWindow(HWND hwnd, int command) {
  bool show = command != SW_HIDE;
  bool wasVisible, topLevel;
  {
    auto locked = LockWindow(hwnd);
    if (!locked) return FALSE;
    wasVisible = (locked->style & WS_VISIBLE) != 0;
    if (wasVisible == show) return wasVisible;
    topLevel = !locked->parent;
  }
  SendMessageA(hwnd, WM_SHOWWINDOW, show ? 1 : 0, 0);
  {
    auto locked = LockWindow(hwnd);
    if (!locked) return wasVisible;
    if (show) {
      locked->style |= WS_VISIBLE;
      if (topLevel) EnsureSurface(*locked.window);
      InvalidateTree(Manager(), hwnd);
    } else {
      locked->style &= ~WS_VISIBLE;
      if (locked->parent) {
        if (auto parent = Manager().Find(locked->parent)) Invalidate(*parent);
      }
    }
  }
  if (topLevel) {
    if (show) System::Get().GetBackend().OnTopLevelShown(hwnd);
    else System::Get().GetBackend().OnTopLevelHidden(hwnd);
  }
  return wasVisible;
}

BOOL IsWindowVisible(HWND hwnd) {
  std::lock_guard lock(Manager().Lock());
  auto window = Manager().Find(hwnd);
  if (!window) return FALSE;
  while (window) {
    if (!(window->style & WS_VISIBLE)) return FALSE;
    if (!window->parent) return TRUE;
    window = Manager().Find(window->parent);
  }
  return FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  bool wasDisabled;
  {
    auto locked = LockWindow(hwnd);
    if (!locked) return FALSE;
    wasDisabled = (locked->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) return wasDisabled;
    if (enable) locked->style &= ~WS_DISABLED;
    else locked->style |= WS_DISABLED;
  }
  SendMessageA(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
  auto locked = LockWindow(hwnd);
  return locked && !(locked->style & WS_DISABLED);
}

HWND SetFocus(HWND hwnd) {
  WindowManager& manager = Manager();
  if (hwnd && !IsWindow(hwnd)) return 0;
  HWND previous = manager.focus;
  if (previous == hwnd) return previous;
  manager.focus = hwnd;
  if (previous && IsWindow(previous)) SendMessageA(previous, WM_KILLFOCUS, hwnd, 0);
  if (hwnd && manager.focus == hwnd) SendMessageA(hwnd, WM_SETFOCUS, previous, 0);
  return previous;
}

HWND GetFocus() { return Manager().focus; }

}  // namespace platform
