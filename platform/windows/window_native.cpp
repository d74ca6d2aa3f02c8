// Between the window tree and the display backend: the state a native
// window shows, and what the user does to it coming back in.
#include "platform/base/backend.h"
#include "platform/gdi/icons/cursor.h"
#include "platform/text/ansi_text.h"
#include "platform/windows/native_events.h"
#include "platform/windows/pointer.h"
#include "platform/windows/window_manager.h"

namespace platform {

void SyncTopLevel(HWND hwnd) {
  TopLevelState state;
  {
    auto locked = LockWindow(hwnd);
    if (!locked || locked->parent || locked->destroying) return;
    state.hwnd = hwnd;
    state.style = locked->style;
    state.exStyle = locked->exStyle;
    auto utf8 = AnsiToUtf8(locked->text);
    state.title = utf8 ? *utf8 : locked->text;
    state.windowRect = locked->rect;
    state.clientRect = ClientRectOnScreen(*locked.window);
    // A hidden owner (the runtime's own) must not pin the window to nothing.
    if (auto owner = Manager().Find(locked->owner); owner && (owner->style & WS_VISIBLE)) state.owner = locked->owner;
    state.visible = (locked->style & WS_VISIBLE) != 0;
    state.enabled = (locked->style & WS_DISABLED) == 0;
    state.active = Manager().Active() == hwnd;
    state.icon = locked->icons[ICON_BIG];
    if (!state.icon && locked->windowClass) state.icon = locked->windowClass->info.hIcon;
  }
  System::Get().GetBackend().OnTopLevelChanged(state);
}

void NativeClientMoved(HWND hwnd, const RECT& clientOnScreen) {
  FrameMetrics frame{0, 0, 0, 0};
  {
    auto locked = LockWindow(hwnd);
    if (!locked || locked->parent) return;
    frame = locked->frame;
  }
  const RECT outer{clientOnScreen.left - frame.left, clientOnScreen.top - frame.top, clientOnScreen.right + frame.right,
                   clientOnScreen.bottom + frame.bottom};
  SetWindowPos(hwnd, 0, outer.left, outer.top, outer.Width(), outer.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void NativeCloseRequested(HWND hwnd) {
  if (IsWindow(hwnd) && IsWindowEnabled(hwnd)) PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void NativeFocusChanged(HWND hwnd, bool focused) {
  if (!IsWindow(hwnd)) return;
  if (focused && IsWindowEnabled(hwnd))
    SetActiveWindow(hwnd);
  else if (!focused && GetActiveWindow() == hwnd)
    SetActiveWindow(0);
}

void ChooseCursor(HWND hit, UINT mouseMessage) {
  // The window chooses its cursor (a child's parent first, through the
  // default procedure); left alone, its class cursor shows.
  HCURSOR classCursor = 0;
  {
    auto locked = LockWindow(hit);
    if (!locked) return;
    if (locked->windowClass) classCursor = locked->windowClass->info.hCursor;
  }
  if (!SendMessageA(hit, WM_SETCURSOR, hit, MAKELPARAM(HTCLIENT, mouseMessage)))
    SetCursor(classCursor ? classCursor : LoadCursorA(0, IDC_ARROW));
}

HCURSOR NativeMouse(HWND hwnd, UINT message, POINT client, WPARAM keys) {
  if (!IsWindow(hwnd) || !IsWindowEnabled(hwnd)) return 0;  // a disabled window takes no input
  // A window of this one holding the capture takes every mouse message.
  const HWND capture = GetCapture();
  const bool captured = capture && GetAncestorRoot(capture) == hwnd;
  const HWND hit = captured ? capture : ChildWindowFromPointDeep(hwnd, client);
  if (!hit || !IsWindowEnabled(hit)) return 0;
  POINT local = client;
  ClientToScreen(hwnd, &local);
  {
    std::lock_guard lock(Manager().Lock());
    Manager().pointer = local;
  }
  ScreenToClient(hit, &local);
  const bool press = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
  if (press && GetActiveWindow() != hwnd) SetActiveWindow(hwnd);
  if (message == WM_MOUSEMOVE && !captured) ChooseCursor(hit, message);
  const LPARAM where = MAKELPARAM(local.x, local.y);
  PostMessageA(hit, message, keys, where);
  return GetCursor();
}

std::shared_ptr<Surface> TopLevelSurface(HWND hwnd) {
  auto locked = LockWindow(hwnd);
  return locked && !locked->parent ? locked->surface : nullptr;
}

}  // namespace platform
