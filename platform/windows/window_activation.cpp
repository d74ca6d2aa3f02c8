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
  const HWND previous = manager.active;
  if (previous == hwnd) return previous;
  manager.active = hwnd;
  SyncTopLevel(previous);
  SyncTopLevel(hwnd);
  if (previous && IsWindow(previous)) SendMessageA(previous, WM_ACTIVATE, ActivateParam(WA_INACTIVE, previous), hwnd);
  if (manager.active != hwnd) return previous;  // the old window's procedure chose another
  if (hwnd) {
    SendMessageA(hwnd, WM_ACTIVATE, ActivateParam(WA_ACTIVE, hwnd), previous);
    // The focus follows into the window unless its procedure placed it there.
    if (manager.active == hwnd && !IsIconic(hwnd) && GetAncestorRoot(manager.focus) != hwnd) SetFocus(hwnd);
  } else if (manager.focus) {
    SetFocus(0);
  }
  return previous;
}

HWND GetActiveWindow() { return Manager().active; }

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
  HWND previous = manager.focus;
  if (previous == hwnd) return previous;
  // Focusing a window in an inactive top-level window activates that first.
  if (hwnd && GetAncestorRoot(hwnd) != manager.active) {
    SetActiveWindow(hwnd);
    if (manager.focus == hwnd) return previous;
  }
  const HWND current = manager.focus;  // activation may have moved it
  manager.focus = hwnd;
  if (current && IsWindow(current)) SendMessageA(current, WM_KILLFOCUS, hwnd, 0);
  if (hwnd && manager.focus == hwnd) SendMessageA(hwnd, WM_SETFOCUS, current, 0);
  return previous;
}

HWND GetFocus() { return Manager().focus; }

}  // namespace platform
