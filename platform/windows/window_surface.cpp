#include "platform/windows/window_surface.h"

#include <algorithm>

#include "platform/base/system.h"
#include "platform/windows/window_manager.h"

namespace platform {

void SubtractRect(std::vector<RECT>& area, const RECT& hole) {
  if (hole.IsEmpty()) return;
  std::vector<RECT> result;
  for (const RECT& r : area) {
    RECT cut = IntersectRects(r, hole);
    if (cut.IsEmpty()) {
      result.push_back(r);
      continue;
    }
    // Up to four pieces: above, below, left and right of the cut.
    if (r.top < cut.top) result.push_back(RECT{r.left, r.top, r.right, cut.top});
    if (cut.bottom < r.bottom) result.push_back(RECT{r.left, cut.bottom, r.right, r.bottom});
    if (r.left < cut.left) result.push_back(RECT{r.left, cut.top, cut.left, cut.bottom});
    if (cut.right < r.right) result.push_back(RECT{cut.right, cut.top, r.right, cut.bottom});
  }
  area.swap(result);
}

bool QueryWindowDrawTarget(HWND hwnd, WindowDrawTarget* out, bool wholeWindow) {
  WindowManager& manager = Manager();
  std::lock_guard lock(manager.Lock());
  auto window = manager.Find(hwnd);
  if (!window || !out) return false;
  *out = WindowDrawTarget{};

  auto top = window;
  while (top->parent) {
    auto parent = manager.Find(top->parent);
    if (!parent) break;
    top = parent;
  }
  RECT topClient = ClientRectOnScreen(*top);
  RECT client = ClientRectOnScreen(*window);
  if (wholeWindow) GetWindowRect(hwnd, &client);
  out->surface = top->surface;
  out->origin = POINT{client.left - topClient.left, client.top - topClient.top};
  if (!out->surface || !IsWindowVisible(hwnd)) return true;

  RECT visible = IntersectRects(client, topClient);
  for (auto w = window; w->parent && !visible.IsEmpty();) {
    auto parent = manager.Find(w->parent);
    if (!parent) break;
    visible = IntersectRects(visible, ClientRectOnScreen(*parent));
    w = parent;
  }
  if (visible.IsEmpty()) return true;

  std::vector<RECT> area{visible};
  auto windowRectOf = [&](HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
  };
  // Siblings above the window and above each ancestor cover it.
  for (auto w = window; w->parent;) {
    const auto& siblings = manager.SiblingsOf(*w);
    for (HWND sibling : siblings) {
      if (sibling == w->handle) break;
      auto s = manager.Find(sibling);
      if (s && (s->style & WS_VISIBLE)) SubtractRect(area, windowRectOf(sibling));
    }
    auto parent = manager.Find(w->parent);
    if (!parent) break;
    w = parent;
  }
  for (HWND child : window->children) {
    auto c = manager.Find(child);
    if (c && (c->style & WS_VISIBLE)) SubtractRect(area, windowRectOf(child));
  }
  RECT bounds{0, 0, out->surface->Width(), out->surface->Height()};
  for (RECT r : area) {
    r = RECT{r.left - topClient.left, r.top - topClient.top, r.right - topClient.left, r.bottom - topClient.top};
    r = IntersectRects(r, bounds);
    if (!r.IsEmpty()) out->visible.push_back(r);
  }
  return true;
}

}  // namespace platform
