// Menus and accelerator tables: enough for a window with no menu bar and
// the system menu every framed window has.
#pragma once

#include <cstdint>

#include "platform/base/types.h"
#include "platform/windows/messages.h"

namespace platform {

inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_SEPARATOR = 0x0800;
inline constexpr UINT MF_BYPOSITION = 0x0400;

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and the submenus it holds.
BOOL DestroyMenu(HMENU menu);
// MF_POPUP: `id` is a submenu handle the menu then owns.
BOOL AppendMenuA(HMENU menu, UINT flags, uintptr_t id, const char* text);
// Takes an item out; a submenu it held is kept, not destroyed.
BOOL RemoveMenu(HMENU menu, UINT item, UINT flags);
int GetMenuItemCount(HMENU menu);  // -1 for a bad handle
// The item's command, -1 for a submenu or a position beyond the end.
UINT GetMenuItemID(HMENU menu, int position);

// The window's own system menu (restore, move, size, minimize, maximize, a
// separator, close), made on first use and destroyed with the window. With
// `revert` the window's copy is dropped and 0 returned.
HMENU GetSystemMenu(HWND hwnd, BOOL revert);
// A top-level window's menu bar: setting one recomputes the frame, so the
// client area gives up a menu bar's height. The old menu is not destroyed.
BOOL SetMenu(HWND hwnd, HMENU menu);
HMENU GetMenu(HWND hwnd);

inline constexpr BYTE FVIRTKEY = 0x01;
inline constexpr BYTE FSHIFT = 0x04;
inline constexpr BYTE FCONTROL = 0x08;
inline constexpr BYTE FALT = 0x10;

struct ACCEL {
  BYTE fVirt = 0;
  WORD key = 0;
  WORD cmd = 0;
};

HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count);
BOOL DestroyAcceleratorTable(HACCEL table);
// Turns a key message that matches an entry into WM_COMMAND (high word 1)
// sent to `hwnd` and returns 1; 0 when nothing matches. This platform has no
// keyboard state, so entries that need Shift or Ctrl never match, and Alt
// matches only the system key messages.
int TranslateAcceleratorA(HWND hwnd, HACCEL table, const MSG* msg);

}  // namespace platform
