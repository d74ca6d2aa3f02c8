// Creating and destroying windows.
#include <algorithm>
#include <utility>

#include "platform/base/backend.h"
#include "platform/base/last_error.h"
#include "platform/windows/menu.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/window_manager.h"

namespace platform {
namespace {

void CollectDestroyOrder(WindowManager& manager, HWND hwnd, std::vector<HWND>& preOrder) {
  auto window = manager.Find(hwnd);
  if (!window) return;
  preOrder.push_back(hwnd);
  for (HWND child : window->children) CollectDestroyOrder(manager, child, preOrder);
}

}  // namespace

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, void* param) {
  WindowManager& manager = Manager();
  auto cls = className ? manager.FindClass(className) : nullptr;
  if (!cls) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return 0;
  }
  auto window = std::make_shared<Window>();
  window->windowClass = cls;
  window->proc = cls->info.lpfnWndProc;
  window->text = windowName ? windowName : "";
  window->style = style & ~WS_VISIBLE;
  window->exStyle = exStyle;
  window->thread = std::this_thread::get_id();
  Queues().Current();  // the window's messages need its thread's queue
  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) width = height = 0;
  window->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
  window->restoreRect = window->rect;
  window->frame = FrameFor(style, exStyle);
  {
    std::lock_guard lock(manager.Lock());
    if (IsChildStyle(style)) {
      if (!manager.Find(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
      }
      window->parent = parent;
      window->id = static_cast<intptr_t>(menu);
    } else if (parent) {
      HWND root = GetAncestorRoot(parent);
      if (!root) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
      }
      window->owner = root;
    }
    window->handle = System::Get().Handles().Add(ObjectKind::Window, window);
    if (!window->handle) return 0;
    PlaceInZOrder(manager, *window, HWND_TOP);
    if (!IsChildStyle(style)) EnsureSurface(*window);
  }
  HWND hwnd = window->handle;
  CREATESTRUCTA cs;
  cs.lpCreateParams = param;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.x = x;
  cs.y = y;
  cs.cx = width;
  cs.cy = height;
  cs.style = style;
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
      SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return 0;
  }
  if (!IsWindow(hwnd)) return 0;
  SyncTopLevel(hwnd);
  RECT client;
  GetClientRect(hwnd, &client);
  SendMessageA(hwnd, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
  SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(x, y));
  if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return IsWindow(hwnd) ? hwnd : 0;
}

BOOL DestroyWindow(HWND hwnd) {
  WindowManager& manager = Manager();
  std::vector<HWND> owned;
  {
    auto locked = LockWindow(hwnd);
    if (!locked || locked->destroying) return FALSE;
    if (locked->thread != std::this_thread::get_id()) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    locked->destroying = true;
    for (HWND top : manager.TopLevel())
      if (auto w = manager.Find(top); w && w->owner == hwnd) owned.push_back(top);
  }
  // Owned windows go first, as their owner's teardown expects.
  for (HWND w : owned) DestroyWindow(w);

  bool wasVisible = IsWindowVisible(hwnd);
  bool topLevel = false;
  HMENU menus[2] = {0, 0};
  {
    auto locked = LockWindow(hwnd);
    if (locked) {
      topLevel = !locked->parent;
      locked->style &= ~WS_VISIBLE;
      menus[0] = std::exchange(locked->menu, 0);
      menus[1] = std::exchange(locked->systemMenu, 0);
      // What the child covered shows the parent again.
      if (!topLevel && wasVisible)
        if (auto parent = manager.Find(locked->parent)) {
          RECT area = locked->rect;
          InvalidateRect(parent->handle, &area, TRUE);
        }
    }
  }
  if (topLevel && wasVisible) System::Get().GetBackend().OnTopLevelHidden(hwnd);
  {
    // One step under the lock, so no other thread sees the focus half-moved.
    std::lock_guard lock(manager.Lock());
    const HWND focus = manager.Focus();
    if (focus == hwnd || IsChild(hwnd, focus)) manager.SetFocusWindow(0);
    if (manager.Active() == hwnd) manager.SetActive(0);
  }
  // A window's menus go with it.
  for (HMENU menu : menus)
    if (menu) DestroyMenu(menu);

  std::vector<HWND> order;
  {
    std::lock_guard lock(manager.Lock());
    CollectDestroyOrder(manager, hwnd, order);
    for (HWND w : order)
      if (auto win = manager.Find(w)) win->destroying = true;
  }
  for (HWND w : order) SendMessageA(w, WM_DESTROY, 0, 0);
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    SendMessageA(*it, WM_NCDESTROY, 0, 0);
    // Services above the windows (drop targets) let go of it.
    manager.WindowGone(*it);
    std::lock_guard lock(manager.Lock());
    if (auto win = manager.Find(*it)) {
      auto& siblings = manager.SiblingsOf(*win);
      siblings.erase(std::remove(siblings.begin(), siblings.end(), *it), siblings.end());
      System::Get().Handles().Remove(*it, ObjectKind::Window);
    }
  }
  if (topLevel) System::Get().GetBackend().OnTopLevelDestroyed(hwnd);
  return TRUE;
}

}  // namespace platform
