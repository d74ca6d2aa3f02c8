#include "platform/windows/menu.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/base/last_error.h"
#include "platform/windows/window_manager.h"

namespace platform {
namespace {

struct MenuItem {
  UINT flags = 0;
  uintptr_t id = 0;  // the command, or the submenu for MF_POPUP
  std::string text;
};

struct MenuObject : HandleObject {
  std::vector<MenuItem> items;
};

struct AcceleratorObject : HandleObject {
  std::vector<ACCEL> entries;
};

std::shared_ptr<MenuObject> FindMenu(HMENU menu) {
  return System::Get().Handles().Get<MenuObject>(menu, ObjectKind::Menu);
}

HMENU AddMenu() {
  HMENU menu = System::Get().Handles().Add(ObjectKind::Menu, std::make_shared<MenuObject>());
  if (!menu) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return menu;
}

// Finds an item by command (searching submenus too) or by position; the
// menu that holds it and its index.
bool FindItem(HMENU menu, UINT item, UINT flags, std::shared_ptr<MenuObject>* holder, size_t* index) {
  auto object = FindMenu(menu);
  if (!object) return false;
  if (flags & MF_BYPOSITION) {
    if (item >= object->items.size()) return false;
    *holder = object;
    *index = item;
    return true;
  }
  for (size_t i = 0; i < object->items.size(); ++i) {
    const MenuItem& entry = object->items[i];
    if (entry.flags & MF_POPUP) {
      if (FindItem(static_cast<HMENU>(entry.id), item, flags, holder, index)) return true;
    } else if (!(entry.flags & MF_SEPARATOR) && entry.id == item) {
      *holder = object;
      *index = i;
      return true;
    }
  }
  return false;
}

// Whether `target` is `from` or lies inside it; appends keep menus free of
// cycles, so this ends.
bool Reaches(HMENU from, HMENU target) {
  if (from == target) return true;
  auto object = FindMenu(from);
  if (!object) return false;
  for (const MenuItem& item : object->items)
    if ((item.flags & MF_POPUP) && Reaches(static_cast<HMENU>(item.id), target)) return true;
  return false;
}

}  // namespace

HMENU CreateMenu() { return AddMenu(); }
HMENU CreatePopupMenu() { return AddMenu(); }

BOOL DestroyMenu(HMENU menu) {
  auto object = std::static_pointer_cast<MenuObject>(System::Get().Handles().Remove(menu, ObjectKind::Menu));
  if (!object) return FALSE;
  for (const MenuItem& item : object->items)
    if (item.flags & MF_POPUP) DestroyMenu(static_cast<HMENU>(item.id));
  return TRUE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, uintptr_t id, const char* text) {
  auto object = FindMenu(menu);
  if (!object) return FALSE;
  // A submenu must exist and may not hold the menu it joins.
  if ((flags & MF_POPUP) && (!FindMenu(static_cast<HMENU>(id)) || Reaches(static_cast<HMENU>(id), menu))) return FALSE;
  object->items.push_back(MenuItem{flags, id, (text && !(flags & MF_SEPARATOR)) ? text : ""});
  return TRUE;
}

// A removed submenu lives on: its owner destroys it.
BOOL RemoveMenu(HMENU menu, UINT item, UINT flags) {
  std::shared_ptr<MenuObject> holder;
  size_t index = 0;
  if (!FindItem(menu, item, flags, &holder, &index)) return FALSE;
  holder->items.erase(holder->items.begin() + static_cast<ptrdiff_t>(index));
  return TRUE;
}

int GetMenuItemCount(HMENU menu) {
  auto object = FindMenu(menu);
  return object ? static_cast<int>(object->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  auto object = FindMenu(menu);
  if (!object || position < 0 || static_cast<size_t>(position) >= object->items.size()) return 0xFFFFFFFFu;
  const MenuItem& item = object->items[static_cast<size_t>(position)];
  return (item.flags & MF_POPUP) ? 0xFFFFFFFFu : static_cast<UINT>(item.id);
}

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
  HMENU existing;
  {
    auto locked = LockWindow(hwnd);
    if (!locked) return 0;
    existing = locked->systemMenu;
    if (revert)
      locked->systemMenu = 0;
    else if (existing && FindMenu(existing))
      return existing;
  }
  if (revert) {
    if (existing) DestroyMenu(existing);
    return 0;
  }
  HMENU menu = AddMenu();
  if (!menu) return 0;
  AppendMenuA(menu, MF_STRING, SC_RESTORE, "&Restore");
  AppendMenuA(menu, MF_STRING, SC_MOVE, "&Move");
  AppendMenuA(menu, MF_STRING, SC_SIZE, "&Size");
  AppendMenuA(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
  AppendMenuA(menu, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
  auto locked = LockWindow(hwnd);
  if (!locked) {
    DestroyMenu(menu);
    return 0;
  }
  locked->systemMenu = menu;
  return menu;
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
  {
    auto locked = LockWindow(hwnd);
    if (!locked) return FALSE;
    if (locked->parent || (menu && !FindMenu(menu))) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    locked->menu = menu;
  }
  return SetWindowPos(hwnd, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

HMENU GetMenu(HWND hwnd) {
  auto locked = LockWindow(hwnd);
  return locked ? locked->menu : 0;
}

HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count) {
  if (!entries || count <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto table = std::make_shared<AcceleratorObject>();
  table->entries.assign(entries, entries + count);
  return System::Get().Handles().Add(ObjectKind::Accelerator, table);
}

BOOL DestroyAcceleratorTable(HACCEL table) {
  return System::Get().Handles().Remove(table, ObjectKind::Accelerator) ? TRUE : FALSE;
}

int TranslateAcceleratorA(HWND hwnd, HACCEL handle, const MSG* msg) {
  auto table = System::Get().Handles().Get<AcceleratorObject>(handle, ObjectKind::Accelerator);
  if (!table || !msg || !IsWindow(hwnd)) return 0;
  const bool keyDown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
  const bool character = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
  if (!keyDown && !character) return 0;
  const bool system = msg->message == WM_SYSKEYDOWN || msg->message == WM_SYSCHAR;
  for (const ACCEL& entry : table->entries) {
    if (entry.fVirt & (FSHIFT | FCONTROL)) continue;
    if (((entry.fVirt & FALT) != 0) != system) continue;
    const bool virtualKey = (entry.fVirt & FVIRTKEY) != 0;
    if (virtualKey ? !keyDown : !character) continue;
    if (entry.key != msg->wParam) continue;
    SendMessageA(hwnd, WM_COMMAND, (WPARAM{1} << 16) | entry.cmd, 0);
    return 1;
  }
  return 0;
}

}  // namespace platform
