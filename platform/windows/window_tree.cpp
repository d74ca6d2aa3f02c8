// The window tree: lookup, parent and owner, z-order lists and relations.
#include <algorithm>

#include "platform/base/last_error.h"
#include "platform/windows/window_manager.h"

namespace platform {

std::shared_ptr<Window> WindowManager::Find(HWND hwnd) const {
  return System::Get().Handles().Get<Window>(hwnd, ObjectKind::Window);
}

std::vector<HWND>& WindowManager::SiblingsOf(const Window& window) {
  if (window.parent) {
    if (auto parent = Find(window.parent)) return parent->children;
  }
  return topLevel_;
}

void PlaceInZOrder(WindowManager& manager, Window& window, HWND insertAfter) {
  auto& siblings = manager.SiblingsOf(window);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), window.handle), siblings.end());
  const bool topLevel = !window.parent;
  if (topLevel) {
    // HWND_BOTTOM takes a window out of the topmost band, as the desktop does.
    if (insertAfter == HWND_TOPMOST)
      window.exStyle |= WS_EX_TOPMOST;
    else if (insertAfter == HWND_NOTOPMOST || insertAfter == HWND_BOTTOM)
      window.exStyle &= ~WS_EX_TOPMOST;
  } else {
    window.exStyle &= ~WS_EX_TOPMOST;
  }
  const bool topmost = (window.exStyle & WS_EX_TOPMOST) != 0;
  auto isTopmost = [&](HWND h) {
    auto w = manager.Find(h);
    return w && (w->exStyle & WS_EX_TOPMOST);
  };
  // The window's band: [bandBegin, bandEnd) of the list.
  auto bandBegin = siblings.begin(), bandEnd = siblings.end();
  if (topLevel) {
    auto firstPlain = std::find_if_not(siblings.begin(), siblings.end(), isTopmost);
    if (topmost)
      bandEnd = firstPlain;
    else
      bandBegin = firstPlain;
  }
  auto at = bandBegin;
  if (insertAfter == HWND_BOTTOM) {
    at = bandEnd;
  } else if (insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST) {
    auto it = std::find(siblings.begin(), siblings.end(), insertAfter);
    // A sibling in the other band pins the window to the near end of its own.
    if (it != siblings.end()) at = std::clamp(it + 1, bandBegin, bandEnd);
  }
  siblings.insert(at, window.handle);
}

LockedWindow LockWindow(HWND hwnd) {
  WindowManager& manager = Manager();
  LockedWindow locked{std::unique_lock(manager.Lock()), manager.Find(hwnd)};
  if (!locked.window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return locked;
}

BOOL IsWindow(HWND hwnd) { return Manager().Find(hwnd) ? TRUE : FALSE; }

BOOL IsChild(HWND parent, HWND hwnd) {
  std::lock_guard lock(Manager().Lock());
  auto window = Manager().Find(hwnd);
  while (window && window->parent) {
    if (window->parent == parent) return TRUE;
    window = Manager().Find(window->parent);
  }
  return FALSE;
}

HWND GetParent(HWND hwnd) {
  auto locked = LockWindow(hwnd);
  if (!locked) return 0;
  // An overlapped window's owner is not its parent; only a popup's is.
  if (locked->style & WS_CHILD) return locked->parent;
  return (locked->style & WS_POPUP) ? locked->owner : 0;
}

HWND SetParent(HWND hwnd, HWND newParent) {
  WindowManager& manager = Manager();
  auto locked = LockWindow(hwnd);
  if (!locked) return 0;
  if (newParent && (!manager.Find(newParent) || newParent == hwnd || IsChild(hwnd, newParent))) return 0;
  HWND old = locked->parent;
  auto& siblings = manager.SiblingsOf(*locked.window);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), hwnd), siblings.end());
  locked->parent = newParent;
  if (newParent) {
    locked->style |= WS_CHILD;
    locked->surface.reset();
  }
  PlaceInZOrder(manager, *locked.window, HWND_TOP);
  if (!newParent) EnsureSurface(*locked.window);
  return old;
}

HWND GetWindow(HWND hwnd, UINT relation) {
  WindowManager& manager = Manager();
  auto locked = LockWindow(hwnd);
  if (!locked) return 0;
  if (relation == GW_OWNER) return locked->owner;
  if (relation == GW_CHILD) return locked->children.empty() ? 0 : locked->children.front();
  auto& siblings = manager.SiblingsOf(*locked.window);
  auto it = std::find(siblings.begin(), siblings.end(), hwnd);
  switch (relation) {
    case GW_HWNDFIRST: return siblings.front();
    case GW_HWNDLAST: return siblings.back();
    case GW_HWNDNEXT: return (it != siblings.end() && it + 1 != siblings.end()) ? *(it + 1) : 0;
    case GW_HWNDPREV: return (it != siblings.end() && it != siblings.begin()) ? *(it - 1) : 0;
    default: return 0;
  }
}

HWND GetAncestorRoot(HWND hwnd) {
  std::lock_guard lock(Manager().Lock());
  auto window = Manager().Find(hwnd);
  if (!window) return 0;
  while (window->parent) {
    auto parent = Manager().Find(window->parent);
    if (!parent) break;
    window = parent;
  }
  return window->handle;
}

}  // namespace platform
