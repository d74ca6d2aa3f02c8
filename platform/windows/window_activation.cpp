// The active top-level window and the keyboard focus.
#include "platform/windows/window_manager.h"

namespace platform {
namespace {

WPARAM ActivateParam(WORD state, HWND hwnd) {
  // The high word tells a minimized window it is minimized.
  return static_cast<WPARAM>(state) | (IsIconic(hwnd) ? WPARAM{1} << 16 : 0);
}

}  // namespace

HWND SetActiveWindow(HWND hwnd) {
  WindowManager& manager = Manager();
  if (hwnd) {
    hwnd = GetAncestorRoot(hwnd);  // a child activates its top-level window
    if (!hwnd) return 0;
  }
  const HWND previous = manager.Active();
  if (previous == hwnd) return previous;
  manager.SetActive(hwnd);
  SyncTopLevel(previous);
  SyncTopLevel(hwnd);
  if (previous && IsWindow(previous)) {
    SendMessageA(previous, WM_NCACTIVATE, FALSE, 0);
    SendMessageA(previous, WM_ACTIVATE, ActivateParam(WA_INACTIVE, previous), hwnd);
  }
  if (manager.Active() != hwnd) return previous;  // the old window's procedure chose another
  if (hwnd) {
    SendMessageA(hwnd, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(hwnd, WM_ACTIVATE, ActivateParam(WA_ACTIVE, hwnd), previous);
    // The focus follows into the window unless its procedure placed it there.
    if (manager.Active() == hwnd && !IsIconic(hwnd) && GetAncestorRoot(manager.Focus()) != hwnd) SetFocus(hwnd);
  } else if (manager.Focus()) {
    SetFocus(0);
  }
  return previous;
}

HWND GetActiveWindow() { return Manager().Active(); }

BOOL GetWindowInfo(HWND hwnd, WINDOWINFO* info) {
  if (!info || !GetWindowRect(hwnd, &info->rcWindow)) return FALSE;
  auto locked = LockWindow(hwnd);
  if (!locked) return FALSE;
  info->rcClient = ClientRectOnScreen(*locked.window);
  info->dwStyle = locked->style;
  info->dwExStyle = locked->exStyle;
  info->dwWindowStatus = locked->captionActive ? WS_ACTIVECAPTION : 0;
  return TRUE;
}

BOOL SetForegroundWindow(HWND hwnd) {
  HWND root = GetAncestorRoot(hwnd);
  if (!root) return FALSE;
  SetWindowPos(root, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetActiveWindow(root);
  return TRUE;
}

HWND SetFocus(HWND hwnd) {
  WindowManager& manager = Manager();
  if (hwnd && !IsWindow(hwnd)) return 0;
  HWND previous = manager.Focus();
  if (previous == hwnd) return previous;
  // Focusing a window in an inactive top-level window activates that first.
  if (hwnd && GetAncestorRoot(hwnd) != manager.Active()) {
    SetActiveWindow(hwnd);
    if (manager.Focus() == hwnd) return previous;
  }
  const HWND current = manager.Focus();  // activation may have moved it
  manager.SetFocusWindow(hwnd);
  if (current && IsWindow(current)) SendMessageA(current, WM_KILLFOCUS, hwnd, 0);
  if (hwnd && manager.Focus() == hwnd) SendMessageA(hwnd, WM_SETFOCUS, current, 0);
  return previous;
}

HWND GetFocus() { return Manager().Focus(); }

}  // namespace platform
