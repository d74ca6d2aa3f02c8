// Window state: visibility, minimized and maximized placement, enabled state.
#include "platform/base/backend.h"
#include "platform/base/last_error.h"
#include "platform/windows/window_manager.h"

namespace platform {

namespace {

enum class Placement { Normal, Minimized, Maximized };

Placement PlacementOf(DWORD style) {
  if (style & WS_MINIMIZE) return Placement::Minimized;
  if (style & WS_MAXIMIZE) return Placement::Maximized;
  return Placement::Normal;
}

// A maximized window fills the screen (a child: its parent's client area)
// with its sizing border just beyond the edges, as on the desktop.
RECT MaximizedRect(const Window& window) {
  RECT area{0, 0, 0, 0};
  if (window.parent) {
    if (auto parent = Manager().Find(window.parent)) {
      RECT client = ClientRectOnScreen(*parent);
      area = RECT{0, 0, client.Width(), client.Height()};
    }
  } else {
    SIZE screen = ScreenSize();
    area = RECT{0, 0, screen.cx, screen.cy};
  }
  const int border = window.frame.right;
  return RECT{area.left - border, area.top - border, area.right + border, area.bottom + border};
}

// Minimizing keeps the rectangle (the client area reads as empty through
// WM_SIZE only); maximizing and restoring move the window.
void ChangePlacement(HWND hwnd, Placement to) {
  Placement from;
  RECT target, now;
  {
    auto locked = LockWindow(hwnd);
    if (!locked) return;
    from = PlacementOf(locked->style);
    if (from == to) return;
    if (from == Placement::Normal) locked->restoreRect = locked->rect;
    locked->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
    if (to == Placement::Minimized) locked->style |= WS_MINIMIZE;
    if (to == Placement::Maximized) locked->style |= WS_MAXIMIZE;
    now = locked->rect;
    target = to == Placement::Maximized ? MaximizedRect(*locked.window)
             : to == Placement::Normal  ? locked->restoreRect
                                        : now;
  }
  if (to == Placement::Minimized) {
    SendMessageA(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
    return;
  }
  const bool moves = target.left != now.left || target.top != now.top || target.Width() != now.Width() ||
                     target.Height() != now.Height();
  if (moves)
    SetWindowPos(hwnd, 0, target.left, target.top, target.Width(), target.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  // Coming back from minimized, the client area reappears even where the
  // rectangle stayed.
  if (from == Placement::Minimized && target.Width() == now.Width() && target.Height() == now.Height())
    SendSize(hwnd, to == Placement::Maximized ? SIZE_MAXIMIZED : SIZE_RESTORED);
}

}  // namespace

BOOL ShowWindow(HWND hwnd, int command) {
  bool wasVisible, topLevel;
  {
    auto locked = LockWindow(hwnd);
    if (!locked) return FALSE;
    wasVisible = (locked->style & WS_VISIBLE) != 0;
    topLevel = !locked->parent;
  }
  WindowManager& manager = Manager();
  if (command == SW_HIDE) {
    if (!wasVisible) return FALSE;
    SendMessageA(hwnd, WM_SHOWWINDOW, 0, 0);
    {
      auto locked = LockWindow(hwnd);
      if (!locked) return TRUE;
      locked->style &= ~WS_VISIBLE;
      if (locked->parent)
        if (auto parent = manager.Find(locked->parent)) Invalidate(*parent);
    }
    if (topLevel) {
      SyncTopLevel(hwnd);
      System::Get().GetBackend().OnTopLevelHidden(hwnd);
      if (manager.Active() == hwnd) SetActiveWindow(0);
    }
    return TRUE;
  }

  Placement placement = Placement::Normal;
  bool keepPlacement = false, activate = true;
  switch (command) {
    case SW_SHOWMINIMIZED: placement = Placement::Minimized; break;
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
      placement = Placement::Minimized;
      activate = false;
      break;
    case SW_SHOWMAXIMIZED: placement = Placement::Maximized; break;
    case SW_SHOWNOACTIVATE: activate = false; break;
    case SW_SHOWNA:
      keepPlacement = true;
      activate = false;
      break;
    case SW_SHOW: keepPlacement = true; break;
    default: break;  // SW_SHOWNORMAL, SW_RESTORE, SW_SHOWDEFAULT and unknown values restore
  }
  if (!wasVisible) {
    SendMessageA(hwnd, WM_SHOWWINDOW, 1, 0);
    {
      auto locked = LockWindow(hwnd);
      if (!locked) return FALSE;
      locked->style |= WS_VISIBLE;
      if (topLevel) EnsureSurface(*locked.window);
      InvalidateTree(manager, hwnd);
    }
    if (topLevel) {
      SyncTopLevel(hwnd);
      System::Get().GetBackend().OnTopLevelShown(hwnd);
    }
  }
  if (!keepPlacement) ChangePlacement(hwnd, placement);
  if (topLevel && IsWindow(hwnd)) {
    if (activate) SetActiveWindow(hwnd);
    // A window minimized out of the way hands the activation on.
    else if (placement == Placement::Minimized && !keepPlacement && manager.Active() == hwnd)
      SetActiveWindow(0);
  }
  return wasVisible;
}

BOOL IsIconic(HWND hwnd) {
  auto locked = LockWindow(hwnd);
  return locked && (locked->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd) {
  auto locked = LockWindow(hwnd);
  return locked && (locked->style & WS_MAXIMIZE) ? TRUE : FALSE;
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
    if (enable)
      locked->style &= ~WS_DISABLED;
    else
      locked->style |= WS_DISABLED;
  }
  SyncTopLevel(hwnd);
  SendMessageA(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
  auto locked = LockWindow(hwnd);
  return locked && !(locked->style & WS_DISABLED);
}

}  // namespace platform
