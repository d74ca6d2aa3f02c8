#include "platform/window.h"

#include <algorithm>
#include <cctype>

#include "platform/backend.h"
#include "platform/files.h"
#include "platform/message_queue.h"
#include "platform/system.h"
#include "platform/window_manager.h"

namespace platform {
namespace {

std::string ClassKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

WindowManager& Manager() { return System::Get().Windows(); }

bool IsChildStyle(DWORD style) { return (style & WS_CHILD) != 0; }

void Invalidate(Window& window) {
  window.invalid = true;
  window.invalidArea = RECT{0, 0, window.rect.Width(), window.rect.Height()};
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
    window.surface = fresh;
  }
}

void CollectDestroyOrder(WindowManager& manager, HWND hwnd, std::vector<HWND>& preOrder) {
  auto window = manager.Find(hwnd);
  if (!window) return;
  preOrder.push_back(hwnd);
  for (HWND child : window->children) CollectDestroyOrder(manager, child, preOrder);
}

}  // namespace

FrameMetrics FrameFor(DWORD style, DWORD exStyle) {
  int border = 0;
  if (style & WS_THICKFRAME) border = 4;
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) border = 3;
  else if (style & WS_BORDER) border = 1;
  int caption = 0;
  if ((style & WS_CAPTION) == WS_CAPTION) caption = (exStyle & WS_EX_TOOLWINDOW) ? 17 : 23;
  int edge = (exStyle & WS_EX_CLIENTEDGE) ? 2 : (exStyle & WS_EX_STATICEDGE) ? 1 : 0;
  return FrameMetrics{border + edge, border + caption + edge, border + edge, border + edge};
}

std::shared_ptr<Window> WindowManager::Find(HWND hwnd) const {
  return System::Get().Handles().Get<Window>(hwnd, ObjectKind::Window);
}

bool WindowManager::RegisterClass(const WNDCLASSA& info) {
  std::lock_guard lock(mutex_);
  std::string key = ClassKey(info.lpszClassName);
  if (classes_.count(key)) return false;
  auto cls = std::make_shared<WindowClass>();
  cls->info = info;
  cls->name = info.lpszClassName;
  cls->info.lpszClassName = nullptr;  // the caller's pointer need not outlive this
  classes_[key] = std::move(cls);
  return true;
}

bool WindowManager::UnregisterClass(const std::string& name) {
  std::lock_guard lock(mutex_);
  return classes_.erase(ClassKey(name)) > 0;
}

std::shared_ptr<const WindowClass> WindowManager::FindClass(const std::string& name) const {
  std::lock_guard lock(mutex_);
  auto it = classes_.find(ClassKey(name));
  return it == classes_.end() ? nullptr : it->second;
}

std::vector<HWND>& WindowManager::SiblingsOf(const Window& window) {
  if (window.parent) {
    if (auto parent = Find(window.parent)) return parent->children;
  }
  return topLevel_;
}

LockedWindow LockWindow(HWND hwnd) {
  WindowManager& manager = Manager();
  LockedWindow locked{std::unique_lock(manager.Lock()), manager.Find(hwnd)};
  if (!locked.window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return locked;
}

RECT ClientRectOnScreen(const Window& window) {
  FrameMetrics frame = FrameFor(window.style, window.exStyle);
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

WORD RegisterClassA(const WNDCLASSA* wc) {
  if (!wc || !wc->lpszClassName || !*wc->lpszClassName || !wc->lpfnWndProc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!Manager().RegisterClass(*wc)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  return 0xC000;
}

BOOL UnregisterClassA(const char* className) {
  return className && Manager().UnregisterClass(className) ? TRUE : FALSE;
}

BOOL GetClassInfoA(const char* className, WNDCLASSA* out) {
  if (!className) return FALSE;
  auto cls = Manager().FindClass(className);
  if (!cls) return FALSE;
  if (out) *out = cls->info;
  return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, void* param) {
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
  System::Get().Queues().Current();  // the window's messages need its thread's queue
  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) width = height = 0;
  window->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
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
    auto& siblings = manager.SiblingsOf(*window);
    siblings.insert(siblings.begin(), window->handle);
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
  RECT client;
  GetClientRect(hwnd, &client);
  SendMessageA(hwnd, WM_SIZE, 0, static_cast<LPARAM>((client.bottom << 16) | (client.right & 0xFFFF)));
  SendMessageA(hwnd, WM_MOVE, 0, static_cast<LPARAM>(((y & 0xFFFF) << 16) | (x & 0xFFFF)));
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
  {
    auto locked = LockWindow(hwnd);
    if (locked) {
      topLevel = !locked->parent;
      locked->style &= ~WS_VISIBLE;
    }
  }
  if (topLevel && wasVisible) System::Get().GetBackend().OnTopLevelHidden(hwnd);
  if (manager.focus == hwnd || IsChild(hwnd, manager.focus)) manager.focus = 0;

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

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_PAINT: ValidateRect(hwnd, nullptr); return 0;
    case WM_SETTEXT: return SetWindowTextA(hwnd, reinterpret_cast<const char*>(lParam));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(GetWindowTextA(hwnd).size());
    case WM_GETTEXT: {
      std::string text = GetWindowTextA(hwnd);
      auto* out = reinterpret_cast<char*>(lParam);
      if (!out || wParam == 0) return 0;
      size_t n = std::min<size_t>(text.size(), wParam - 1);
      text.copy(out, n);
      out[n] = 0;
      return static_cast<LRESULT>(n);
    }
    default: return 0;
  }
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
  return locked->parent ? locked->parent : locked->owner;
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
  auto& fresh = manager.SiblingsOf(*locked.window);
  fresh.insert(fresh.begin(), hwnd);
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

HWND GetDesktopWindow() { return 0; }

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

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  bool moved = false, sized = false;
  {
    auto locked = LockWindow(hwnd);
    if (!locked) return FALSE;
    RECT r = locked->rect;
    if (!(flags & SWP_NOMOVE)) {
      moved = r.left != x || r.top != y;
      r = RECT{x, y, x + r.Width(), y + r.Height()};
    }
    if (!(flags & SWP_NOSIZE)) {
      sized = r.Width() != std::max(0, cx) || r.Height() != std::max(0, cy);
      r.right = r.left + std::max(0, cx);
      r.bottom = r.top + std::max(0, cy);
    }
    locked->rect = r;
    if (!(flags & SWP_NOZORDER)) {
      auto& siblings = Manager().SiblingsOf(*locked.window);
      siblings.erase(std::remove(siblings.begin(), siblings.end(), hwnd), siblings.end());
      if (insertAfter == HWND_TOP) {
        siblings.insert(siblings.begin(), hwnd);
      } else if (insertAfter == HWND_BOTTOM) {
        siblings.push_back(hwnd);
      } else {
        auto it = std::find(siblings.begin(), siblings.end(), insertAfter);
        siblings.insert(it == siblings.end() ? siblings.begin() : it + 1, hwnd);
      }
    }
    if (!locked->parent && (sized || !locked->surface)) EnsureSurface(*locked.window);
    if (moved || sized) {
      InvalidateTree(Manager(), hwnd);
      if (locked->parent)
        if (auto parent = Manager().Find(locked->parent)) Invalidate(*parent);
    }
  }
  if (sized) {
    RECT client;
    GetClientRect(hwnd, &client);
    SendMessageA(hwnd, WM_SIZE, 0, static_cast<LPARAM>((client.bottom << 16) | (client.right & 0xFFFF)));
  }
  if (moved) SendMessageA(hwnd, WM_MOVE, 0, static_cast<LPARAM>(((y & 0xFFFF) << 16) | (x & 0xFFFF)));
  if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, SW_SHOWNA);
  if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
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

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL /*menu*/, DWORD exStyle) {
  if (!rect) return FALSE;
  FrameMetrics frame = FrameFor(style, exStyle);
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
  if (clientPoint.x < 0 || clientPoint.y < 0 || clientPoint.x >= client.Width() ||
      clientPoint.y >= client.Height())
    return 0;
  POINT screen{clientPoint.x + client.left, clientPoint.y + client.top};
  for (;;) {
    HWND hit = 0;
    for (HWND child : window->children) {
      auto c = Manager().Find(child);
      if (!c || !(c->style & WS_VISIBLE)) continue;
      RECT r;
      GetWindowRect(child, &r);
      if (screen.x >= r.left && screen.x < r.right && screen.y >= r.top && screen.y < r.bottom) {
        hit = child;
        break;
      }
    }
    if (!hit) return window->handle;
    window = Manager().Find(hit);
  }
}

intptr_t GetWindowLongPtrA(HWND hwnd, int index) {
  auto locked = LockWindow(hwnd);
  if (!locked) return 0;
  switch (index) {
    case GWL_STYLE: return locked->style;
    case GWL_EXSTYLE: return locked->exStyle;
    case GWLP_USERDATA: return locked->userData;
    case GWLP_ID: return locked->id;
    case GWLP_WNDPROC: return reinterpret_cast<intptr_t>(locked->proc);
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
  }
}

intptr_t SetWindowLongPtrA(HWND hwnd, int index, intptr_t value) {
  auto locked = LockWindow(hwnd);
  if (!locked) return 0;
  intptr_t old = 0;
  switch (index) {
    case GWL_STYLE: old = locked->style; locked->style = static_cast<DWORD>(value); break;
    case GWL_EXSTYLE: old = locked->exStyle; locked->exStyle = static_cast<DWORD>(value); break;
    case GWLP_USERDATA: old = locked->userData; locked->userData = value; break;
    case GWLP_ID: old = locked->id; locked->id = value; break;
    case GWLP_WNDPROC:
      old = reinterpret_cast<intptr_t>(locked->proc);
      if (value) locked->proc = reinterpret_cast<WNDPROC>(value);
      break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
  }
  return old;
}

BOOL SetWindowTextA(HWND hwnd, const char* text) {
  auto locked = LockWindow(hwnd);
  if (!locked) return FALSE;
  locked->text = text ? text : "";
  return TRUE;
}

std::string GetWindowTextA(HWND hwnd) {
  auto locked = LockWindow(hwnd);
  return locked ? locked->text : std::string();
}

std::string GetClassNameA(HWND hwnd) {
  auto locked = LockWindow(hwnd);
  return locked ? locked->windowClass->name : std::string();
}

BOOL SetPropA(HWND hwnd, const char* name, intptr_t value) {
  auto locked = LockWindow(hwnd);
  if (!locked || !name) return FALSE;
  locked->props[name] = value;
  return TRUE;
}

intptr_t GetPropA(HWND hwnd, const char* name) {
  auto locked = LockWindow(hwnd);
  if (!locked || !name) return 0;
  auto it = locked->props.find(name);
  return it == locked->props.end() ? 0 : it->second;
}

intptr_t RemovePropA(HWND hwnd, const char* name) {
  auto locked = LockWindow(hwnd);
  if (!locked || !name) return 0;
  auto it = locked->props.find(name);
  if (it == locked->props.end()) return 0;
  intptr_t value = it->second;
  locked->props.erase(it);
  return value;
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

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL /*erase*/) {
  auto locked = LockWindow(hwnd);
  if (!locked) return FALSE;
  RECT client = ClientRectOnScreen(*locked.window);
  RECT area = rect ? *rect : RECT{0, 0, client.Width(), client.Height()};
  if (locked->invalid) {
    area = RECT{std::min(area.left, locked->invalidArea.left), std::min(area.top, locked->invalidArea.top),
                std::max(area.right, locked->invalidArea.right),
                std::max(area.bottom, locked->invalidArea.bottom)};
  }
  locked->invalid = true;
  locked->invalidArea = area;
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
  if (invalid) SendMessageA(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}

}  // namespace platform
