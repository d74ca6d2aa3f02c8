// Invalidation and the client surfaces WM_PAINT draws into.
#include <algorithm>

#include "platform/base/backend.h"
#include "platform/base/last_error.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/window_manager.h"

namespace platform {

void Invalidate(Window& window) {
  RECT client = ClientRectOnScreen(window);
  window.invalid = true;
  window.invalidArea = RECT{0, 0, client.Width(), client.Height()};
  const FrameMetrics& f = window.frame;
  if (window.parent && (f.left || f.top || f.right || f.bottom)) window.frameDirty = true;
}

void PaintNonClient(HWND hwnd) {
  {
    auto locked = LockWindow(hwnd);
    if (!locked || !locked->frameDirty) return;
    locked->frameDirty = false;
  }
  SendMessageA(hwnd, WM_NCPAINT, 1, 0);
}

// Marks a window and its descendants for painting.
void InvalidateTree(WindowManager& manager, HWND hwnd) {
  auto window = manager.Find(hwnd);
  if (!window) return;
  Invalidate(*window);
  for (HWND child : window->children) InvalidateTree(manager, child);
}

void EnsureSurface(Window& window) {
  if (IsChildStyle(window.style)) return;
  RECT client = ClientRectOnScreen(window);
  int w = std::max(1, client.Width()), h = std::max(1, client.Height());
  if (!window.surface || window.surface->Width() != w || window.surface->Height() != h) {
    auto fresh = Surface::Create(w, h);
    // The display hears of every change, from whichever thread draws.
    if (fresh) {
      fresh->SetDamageListener([hwnd = window.handle] { System::Get().GetBackend().OnSurfaceDamaged(hwnd); });
      fresh->AddDamage(RECT{0, 0, w, h});
    }
    window.surface = fresh;
  }
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL /*erase*/) {
  std::thread::id owner;
  {
    auto locked = LockWindow(hwnd);
    if (!locked) return FALSE;
    RECT client = ClientRectOnScreen(*locked.window);
    RECT area = rect ? *rect : RECT{0, 0, client.Width(), client.Height()};
    if (locked->invalid) {
      area = RECT{std::min(area.left, locked->invalidArea.left), std::min(area.top, locked->invalidArea.top),
                  std::max(area.right, locked->invalidArea.right), std::max(area.bottom, locked->invalidArea.bottom)};
    }
    locked->invalid = true;
    locked->invalidArea = area;
    locked->paintExpected = false;
    owner = locked->thread;
  }
  // An animation's thread invalidates: the window's thread may be asleep
  // waiting for messages and would paint only when something else woke it.
  WakeThread(owner);
  return TRUE;
}

BOOL ExpectPaint(HWND hwnd, DWORD withinMs) {
  auto locked = LockWindow(hwnd);
  if (!locked) return FALSE;
  locked->paintExpected = true;
  locked->paintExpectedBy = GetTickCount() + withinMs;
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* /*rect*/) {
  auto locked = LockWindow(hwnd);
  if (!locked) return FALSE;
  locked->invalid = false;
  locked->invalidArea = RECT{};
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL /*erase*/) {
  auto locked = LockWindow(hwnd);
  if (!locked) return FALSE;
  if (rect) *rect = locked->invalid ? locked->invalidArea : RECT{};
  return locked->invalid ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd) {
  bool invalid;
  {
    auto locked = LockWindow(hwnd);
    if (!locked) return FALSE;
    invalid = locked->invalid && IsWindowVisible(hwnd);
  }
  if (invalid) {
    PaintNonClient(hwnd);
    SendMessageA(hwnd, WM_PAINT, 0, 0);
  }
  return TRUE;
}

}  // namespace platform
