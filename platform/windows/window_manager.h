// The window tree behind the window calls. Internal to the platform.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/handle_table.h"
#include "platform/base/system.h"
#include "platform/gdi/raster/surface.h"
#include "platform/windows/window.h"

namespace platform {

struct WindowClass {
  WNDCLASSA info;
  std::string name;
};

struct FrameMetrics {
  int left, top, right, bottom;
};
// The frame around the client area: border, caption, menu bar and edge.
FrameMetrics FrameFor(DWORD style, DWORD exStyle, bool menuBar = false);

// The sizes the frame rules are made of; GetSystemMetrics reports the same.
inline constexpr int kBorderWidth = 1;
inline constexpr int kFixedFrameWidth = 3;
inline constexpr int kSizingFrameWidth = 4;
inline constexpr int kCaptionHeight = 23;
inline constexpr int kToolCaptionHeight = 17;
inline constexpr int kMenuBarHeight = 20;
inline constexpr int kEdgeWidth = 2;

struct Window : HandleObject {
  HWND handle = 0;
  std::shared_ptr<const WindowClass> windowClass;
  WNDPROC proc = nullptr;
  std::string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  intptr_t id = 0;
  intptr_t userData = 0;
  HWND parent = 0;             // child windows only
  HWND owner = 0;              // top-level windows only
  std::vector<HWND> children;  // z-order, topmost first
  RECT rect;                   // parent client coordinates, or screen for top-level
  // Set when the window is made, then again only by SWP_FRAMECHANGED and
  // SetMenu: a style change alone leaves the client area where it was.
  FrameMetrics frame{0, 0, 0, 0};
  RECT restoreRect;      // where SW_RESTORE puts a minimized or maximized window
  HFONT font = 0;        // WM_SETFONT's font, kept by the default procedure
  HICON icons[2] = {};   // WM_SETICON's small and big icons, kept by the default procedure
  HMENU menu = 0;        // top-level windows: the menu bar's menu
  HMENU systemMenu = 0;  // made by the first GetSystemMenu
  std::thread::id thread;
  bool destroying = false;
  bool invalid = false;
  RECT invalidArea;
  bool paintExpected = false;        // ExpectPaint: another thread will invalidate it
  DWORD paintExpectedBy = 0;         // tick count after which the expectation lapses
  bool frameDirty = false;           // a bordered child's frame waits for WM_NCPAINT
  bool captionActive = false;        // the frame looks active (WM_NCACTIVATE's default)
  std::shared_ptr<Surface> surface;  // top-level windows: the client area's pixels
};

class WindowManager {
 public:
  // The lock guards the tree; never hold it while a window procedure runs.
  std::recursive_mutex& Lock() { return mutex_; }

  std::shared_ptr<Window> Find(HWND hwnd) const;
  bool RegisterClass(const WNDCLASSA& info);
  std::shared_ptr<const WindowClass> FindClass(const std::string& name) const;

  // Z-order list that holds `window` (its parent's children or the top-level list).
  std::vector<HWND>& SiblingsOf(const Window& window);
  std::vector<HWND>& TopLevel() { return topLevel_; }

  // What a service above the windows keeps of a window (a drop target) is
  // let go through this as the window goes, after WM_NCDESTROY.
  void OnWindowGone(std::function<void(HWND)> hook) { windowGone_ = std::move(hook); }
  void WindowGone(HWND hwnd) const {
    if (windowGone_) windowGone_(hwnd);
  }

  // The keyboard focus and the active top-level window. Read and written
  // under the lock: the drag dispatcher's thread reads them.
  HWND Focus() const {
    std::lock_guard lock(mutex_);
    return focus_;
  }
  void SetFocusWindow(HWND hwnd) {
    std::lock_guard lock(mutex_);
    focus_ = hwnd;
  }
  HWND Active() const {
    std::lock_guard lock(mutex_);
    return active_;
  }
  void SetActive(HWND hwnd) {
    std::lock_guard lock(mutex_);
    active_ = hwnd;
  }

  HCURSOR cursor = 0;  // SetCursor's cursor
  POINT pointer;       // the pointer's screen position
  HWND capture = 0;    // SetCapture's window

 private:
  mutable std::recursive_mutex mutex_;
  std::map<std::string, std::shared_ptr<const WindowClass>> classes_;
  std::vector<HWND> topLevel_;
  std::function<void(HWND)> windowGone_;
  HWND focus_ = 0;
  HWND active_ = 0;
};

// Locks the manager and finds a window; `window` is null for a bad handle.
struct LockedWindow {
  std::unique_lock<std::recursive_mutex> lock;
  std::shared_ptr<Window> window;
  explicit operator bool() const { return window != nullptr; }
  Window* operator->() const { return window.get(); }
};
LockedWindow LockWindow(HWND hwnd);

// Client rectangle of a window in screen coordinates.
RECT ClientRectOnScreen(const Window& window);

inline WindowManager& Manager() { return System::Get().Part<WindowManager>(); }
inline bool IsChildStyle(DWORD style) { return (style & WS_CHILD) != 0; }

// Helpers the window files share; callers hold the manager's lock.
// Marks the whole window for painting.
void Invalidate(Window& window);
// Marks a window and its descendants for painting.
void InvalidateTree(WindowManager& manager, HWND hwnd);
// Gives a top-level window a surface of its client area's size.
void EnsureSurface(Window& window);
// Draws a bordered child's frame into its top-level surface (the default
// WM_NCPAINT); top-level frames lie outside the surface and draw nothing.
void PaintWindowFrame(HWND hwnd);
// Sends WM_NCPAINT when the window's frame waits to be drawn; the paint
// message paths call it before WM_PAINT.
void PaintNonClient(HWND hwnd);
// Tells the backend a top-level window's current state (style, title,
// rectangles, owner, enabled, active). Does nothing for a child window.
// Call without the manager's lock held.
void SyncTopLevel(HWND hwnd);
// Sends WM_SETCURSOR for the pointer over `hit`'s client area; when no one
// answers it, shows the window's class cursor.
void ChooseCursor(HWND hit, UINT mouseMessage);
// Sends WM_SIZE with the window's client size.
void SendSize(HWND hwnd, WPARAM type);

// Puts a window into its z-order list after `insertAfter` (HWND_TOP,
// HWND_BOTTOM, HWND_TOPMOST, HWND_NOTOPMOST or a sibling). Top-level windows
// keep two bands: WS_EX_TOPMOST ones above the others.
void PlaceInZOrder(WindowManager& manager, Window& window, HWND insertAfter);

}  // namespace platform
