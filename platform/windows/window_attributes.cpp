// What a window carries: its longs, text and named properties.
#include "platform/base/last_error.h"
#include "platform/windows/window_manager.h"

namespace platform {
namespace {

intptr_t StoreWindowLong(HWND hwnd, int index, intptr_t value) {
  auto locked = LockWindow(hwnd);
  if (!locked) return 0;
  intptr_t old = 0;
  switch (index) {
    case GWL_STYLE:
      old = locked->style;
      locked->style = static_cast<DWORD>(value);
      break;
    case GWL_EXSTYLE:
      // The topmost band changes only through SetWindowPos, which keeps the list in order.
      old = locked->exStyle;
      locked->exStyle = (static_cast<DWORD>(value) & ~WS_EX_TOPMOST) | (locked->exStyle & WS_EX_TOPMOST);
      break;
    case GWLP_USERDATA:
      old = locked->userData;
      locked->userData = value;
      break;
    case GWLP_ID:
      old = locked->id;
      locked->id = value;
      break;
    case GWLP_WNDPROC:
      old = reinterpret_cast<intptr_t>(locked->proc);
      if (value) locked->proc = reinterpret_cast<WNDPROC>(value);
      break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
  }
  return old;
}

}  // namespace

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
  const intptr_t old = StoreWindowLong(hwnd, index, value);
  if (index == GWL_STYLE || index == GWL_EXSTYLE) SyncTopLevel(hwnd);
  return old;
}

BOOL SetWindowTextA(HWND hwnd, const char* text) {
  {
    auto locked = LockWindow(hwnd);
    if (!locked) return FALSE;
    locked->text = text ? text : "";
  }
  SyncTopLevel(hwnd);
  return TRUE;
}

std::string GetWindowTextA(HWND hwnd) {
  auto locked = LockWindow(hwnd);
  return locked ? locked->text : std::string();
}

}  // namespace platform
