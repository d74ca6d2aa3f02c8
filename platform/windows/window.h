// platform/windows: windows, messages, menus and metrics. Window classes and
// windows (parent and owner, styles, visibility, enabled state, rectangles,
// z-order, the lifecycle messages; here), the message queues and default
// handling (messages.h, message_queue.h), focus and activation, painting and
// DCs over windows (window_dc.h), menus and accelerators (menu.h), system
// colours and metrics (system_metrics.h), the pointer (pointer.h), message
// boxes, and the way back in from a display backend (native_events.h).
#pragma once

#include <cstdint>
#include <string>

#include "platform/base/last_error.h"
#include "platform/base/types.h"
#include "platform/windows/messages.h"

namespace platform {

// Styles
inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_MINIMIZE = 0x20000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_MAXIMIZE = 0x01000000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_DLGFRAME = 0x00400000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_HSCROLL = 0x00100000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
inline constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
// Extended styles
inline constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
inline constexpr DWORD WS_EX_TOPMOST = 0x00000008;
inline constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;
inline constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
// Class styles
inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr UINT CS_DBLCLKS = 0x0008;
inline constexpr UINT CS_OWNDC = 0x0020;
inline constexpr UINT CS_PARENTDC = 0x0080;
inline constexpr UINT CS_NOCLOSE = 0x0200;

inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// ShowWindow
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_NORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;
inline constexpr int SW_SHOWDEFAULT = 10;
inline constexpr int SW_FORCEMINIMIZE = 11;

// SetWindowPos. The topmost sentinels are the two handle values the handle
// table never gives out.
inline constexpr HWND HWND_TOP = 0;
inline constexpr HWND HWND_BOTTOM = 1;
inline constexpr HWND HWND_TOPMOST = 0xFFFFFFFFu;
inline constexpr HWND HWND_NOTOPMOST = 0xFFFFFFFEu;
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_FRAMECHANGED = 0x0020;
inline constexpr UINT SWP_SHOWWINDOW = 0x0040;
inline constexpr UINT SWP_HIDEWINDOW = 0x0080;

// GetWindow
inline constexpr UINT GW_HWNDFIRST = 0;
inline constexpr UINT GW_HWNDLAST = 1;
inline constexpr UINT GW_HWNDNEXT = 2;
inline constexpr UINT GW_HWNDPREV = 3;
inline constexpr UINT GW_OWNER = 4;
inline constexpr UINT GW_CHILD = 5;

// Window longs
inline constexpr int GWLP_WNDPROC = -4;
inline constexpr int GWLP_ID = -12;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr int GWLP_USERDATA = -21;

struct WNDCLASSA {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  HICON hIcon = 0;
  HCURSOR hCursor = 0;
  HBRUSH hbrBackground = 0;
  const char* lpszClassName = nullptr;
};

struct CREATESTRUCTA {
  void* lpCreateParams = nullptr;
  HMENU hMenu = 0;
  HWND hwndParent = 0;
  int cy = 0, cx = 0, y = 0, x = 0;
  DWORD style = 0;
  const char* lpszName = nullptr;
  const char* lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

// Returns a non-zero atom, 0 when the name is taken or missing.
WORD RegisterClassA(const WNDCLASSA* wc);
BOOL GetClassInfoA(const char* className, WNDCLASSA* out);

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, void* param);
BOOL DestroyWindow(HWND hwnd);
LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

BOOL IsWindow(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
// The parent of a child window, the owner of a popup; 0 for an overlapped
// window even when it has an owner (GetWindow(GW_OWNER) finds that).
HWND GetParent(HWND hwnd);
HWND SetParent(HWND hwnd, HWND newParent);
HWND GetWindow(HWND hwnd, UINT relation);
HWND GetAncestorRoot(HWND hwnd);

// Showing a top-level window (other than SW_SHOWNA, SW_SHOWNOACTIVATE and
// the minimizing commands that do not show it active) activates it.
BOOL ShowWindow(HWND hwnd, int command);
BOOL IsWindowVisible(HWND hwnd);  // itself and every parent visible
BOOL IsIconic(HWND hwnd);         // minimized
BOOL IsZoomed(HWND hwnd);         // maximized
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);

BOOL GetWindowRect(HWND hwnd, RECT* rect);  // screen coordinates
BOOL GetClientRect(HWND hwnd, RECT* rect);  // (0, 0, width, height)
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
// Top-level windows stack in two bands: HWND_TOPMOST puts a window in the
// upper one (WS_EX_TOPMOST), HWND_NOTOPMOST and HWND_BOTTOM in the lower one.
// The client area follows a style change only with SWP_FRAMECHANGED; WM_SIZE
// is sent whenever the client size changes.
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL ClientToScreen(HWND hwnd, POINT* point);
BOOL ScreenToClient(HWND hwnd, POINT* point);
// The frame around a client area of the given styles.
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
// The deepest visible, enabled-or-not child of `hwnd` (itself included)
// under a point in its client coordinates.
HWND ChildWindowFromPointDeep(HWND hwnd, POINT clientPoint);
// The deepest visible window under a screen point: the topmost visible
// top-level window there, then its children; 0 over the bare desktop.
HWND WindowFromPoint(POINT screen);

intptr_t GetWindowLongPtrA(HWND hwnd, int index);
intptr_t SetWindowLongPtrA(HWND hwnd, int index, intptr_t value);
BOOL SetWindowTextA(HWND hwnd, const char* text);
std::string GetWindowTextA(HWND hwnd);

// Activation sends WM_ACTIVATE (WA_INACTIVE, then WA_ACTIVE, each with the
// other window in lParam) and moves the focus into the window. A child
// activates its top-level window; 0 deactivates. Hiding or destroying the
// active window leaves none active.
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
// Before WM_ACTIVATE the window is sent WM_NCACTIVATE (TRUE: active); the
// default procedure gives its frame that look, which GetWindowInfo reports.
inline constexpr DWORD WS_ACTIVECAPTION = 0x0001;
struct WINDOWINFO {
  RECT rcWindow;
  RECT rcClient;  // screen coordinates
  DWORD dwStyle = 0;
  DWORD dwExStyle = 0;
  DWORD dwWindowStatus = 0;  // WS_ACTIVECAPTION
};
BOOL GetWindowInfo(HWND hwnd, WINDOWINFO* info);
// Activates the window and brings it to the top of its z-order band.
BOOL SetForegroundWindow(HWND hwnd);

// Focusing a window in an inactive top-level window activates that first.
HWND SetFocus(HWND hwnd);
HWND GetFocus();

// Invalidation drives WM_PAINT: a window with an invalid area gets WM_PAINT
// when its thread's queue holds nothing else.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
// Another thread is about to invalidate the window (an animation's first
// frame is being made): until it does, or `withinMs` pass, the window's
// thread does not count as idle, so what waits for it to settle (the
// offscreen shell's drops and screenshot) sees the frame.
BOOL ExpectPaint(HWND hwnd, DWORD withinMs);
}  // namespace platform
