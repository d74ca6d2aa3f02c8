// Window geometry: frame metrics, rectangles, coordinate conversion, moving,
// sizing and restacking, hit testing.
#include <algorithm>

#include "platform/base/last_error.h"
#include "platform/windows/window_manager.h"

namespace platform {

FrameMetrics FrameFor(DWORD style, DWORD exStyle, bool menuBar) {
  int border = 0;
  if (style & WS_THICKFRAME)
    border = kSizingFrameWidth;
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
    border = kFixedFrameWidth;
  else if (style & WS_BORDER)
    border = kBorderWidth;
  int caption = 0;
  if ((style & WS_CAPTION) == WS_CAPTION) caption = (exStyle & WS_EX_TOOLWINDOW) ? kToolCaptionHeight : kCaptionHeight;
  if (menuBar && !(style & WS_CHILD)) caption += kMenuBarHeight;
  int edge = (exStyle & WS_EX_CLIENTEDGE) ? kEdgeWidth : (exStyle & WS_EX_STATICEDGE) ? 1 : 0;
  return FrameMetrics{border + edge, border + caption + edge, border + edge, border + edge};
}

RECT ClientRectOnScreen(const Window& window) {
  const FrameMetrics& frame = window.frame;
  RECT r = window.rect;
  if (window.parent) {
    if (auto parent = Manager().Find(window.parent)) {
      RECT origin = ClientRectOnScreen(*parent);
      r.left += origin.left;
      r.right += origin.left;
      r.top += origin.top;
      r.bottom += origin.top;
    }
  }
  return RECT{r.left + frame.left, r.top + frame.top, std::max(r.left + frame.left, r.right - frame.right),
              std::max(r.top + frame.top, r.bottom - frame.bottom)};
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  auto locked = LockWindow(hwnd);
  if (!locked || !rect) return FALSE;
  RECT r = locked->rect;
  if (locked->parent) {
    if (auto parent = Manager().Find(locked->parent)) {
      RECT origin = ClientRectOnScreen(*parent);
      r = RECT{r.left + origin.left, r.top + origin.top, r.right + origin.left, r.bottom + origin.top};
    }
  }
  *rect = r;
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
  auto locked = LockWindow(hwnd);
  if (!locked || !rect) return FALSE;
  RECT client = ClientRectOnScreen(*locked.window);
  *rect = RECT{0, 0, client.Width(), client.Height()};
  return TRUE;
}

void SendSize(HWND hwnd, WPARAM type) {
  RECT client{};
  GetClientRect(hwnd, &client);
  SendMessageA(hwnd, WM_SIZE, type, MAKELPARAM(client.right, client.bottom));
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  bool moved = false, clientSized = false;
  WPARAM sizeType = SIZE_RESTORED;
  {
    auto locked = LockWindow(hwnd);
    if (!locked) return FALSE;
    const RECT clientBefore = ClientRectOnScreen(*locked.window);
    RECT r = locked->rect;
    if (!(flags & SWP_NOMOVE)) {
      moved = r.left != x || r.top != y;
      r = RECT{x, y, x + r.Width(), y + r.Height()};
    }
    bool sized = false;
    if (!(flags & SWP_NOSIZE)) {
      sized = r.Width() != std::max(0, cx) || r.Height() != std::max(0, cy);
      r.right = r.left + std::max(0, cx);
      r.bottom = r.top + std::max(0, cy);
    }
    locked->rect = r;
    const bool reframed = (flags & SWP_FRAMECHANGED) != 0;
    if (reframed) locked->frame = FrameFor(locked->style, locked->exStyle, locked->menu != 0);
    const RECT clientAfter = ClientRectOnScreen(*locked.window);
    clientSized = clientAfter.Width() != clientBefore.Width() || clientAfter.Height() != clientBefore.Height();
    if (locked->style & WS_MAXIMIZE) sizeType = SIZE_MAXIMIZED;
    if (!(flags & SWP_NOZORDER)) PlaceInZOrder(Manager(), *locked.window, insertAfter);
    if (!locked->parent && (clientSized || !locked->surface)) EnsureSurface(*locked.window);
    if (moved || sized || reframed) {
      InvalidateTree(Manager(), hwnd);
      if (locked->parent)
        if (auto parent = Manager().Find(locked->parent)) Invalidate(*parent);
    }
  }
  if (clientSized) SendSize(hwnd, sizeType);
  if (moved) SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(x, y));
  if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, SW_SHOWNA);
  if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
  SyncTopLevel(hwnd);
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL /*repaint*/) {
  return SetWindowPos(hwnd, 0, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
  auto locked = LockWindow(hwnd);
  if (!locked || !point) return FALSE;
  RECT client = ClientRectOnScreen(*locked.window);
  point->x += client.left;
  point->y += client.top;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
  auto locked = LockWindow(hwnd);
  if (!locked || !point) return FALSE;
  RECT client = ClientRectOnScreen(*locked.window);
  point->x -= client.left;
  point->y -= client.top;
  return TRUE;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (!rect) return FALSE;
  FrameMetrics frame = FrameFor(style, exStyle, menu != FALSE);
  rect->left -= frame.left;
  rect->top -= frame.top;
  rect->right += frame.right;
  rect->bottom += frame.bottom;
  return TRUE;
}

HWND ChildWindowFromPointDeep(HWND hwnd, POINT clientPoint) {
  std::lock_guard lock(Manager().Lock());
  auto window = Manager().Find(hwnd);
  if (!window) return 0;
  RECT client = ClientRectOnScreen(*window);
  if (clientPoint.x < 0 || clientPoint.y < 0 || clientPoint.x >= client.Width() || clientPoint.y >= client.Height())
    return 0;
  POINT screen{clientPoint.x + client.left, clientPoint.y + client.top};
  for (;;) {
    HWND hit = 0;
    for (HWND child : window->children) {
      auto c = Manager().Find(child);
      if (!c || !(c->style & WS_VISIBLE)) continue;
      RECT r;
      GetWindowRect(child, &r);
      if (r.Contains(screen.x, screen.y)) {
        hit = child;
        break;
      }
    }
    if (!hit) return window->handle;
    window = Manager().Find(hit);
  }
}

HWND WindowFromPoint(POINT screen) {
  HWND top = 0;
  POINT client{};
  {
    std::lock_guard lock(Manager().Lock());
    for (HWND hwnd : Manager().TopLevel()) {
      auto window = Manager().Find(hwnd);
      if (!window || !(window->style & WS_VISIBLE)) continue;
      const RECT& r = window->rect;
      if (screen.x < r.left || screen.x >= r.right || screen.y < r.top || screen.y >= r.bottom) continue;
      const RECT area = ClientRectOnScreen(*window);
      top = hwnd;
      client = POINT{screen.x - area.left, screen.y - area.top};
      break;
    }
  }
  if (!top) return 0;
  // On the frame the top-level window itself is under the point.
  const HWND deepest = ChildWindowFromPointDeep(top, client);
  return deepest ? deepest : top;
}

}  // namespace platform
