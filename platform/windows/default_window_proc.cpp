// What a window procedure hands on: the default handling of each message.
#include <algorithm>
#include <utility>

#include "platform/windows/window_manager.h"

namespace platform {
namespace {

// The system menu's commands, as a click on the frame's boxes gives them.
LRESULT SystemCommand(HWND hwnd, WPARAM command) {
  switch (command & 0xFFF0) {
    case SC_CLOSE: SendMessageA(hwnd, WM_CLOSE, 0, 0); break;
    case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
    case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); break;
    case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
    default: break;
  }
  return 0;
}

}  // namespace

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_MOUSEACTIVATE: return MA_ACTIVATE;
    case WM_SETCURSOR: {
      // A child's parent chooses first; TRUE from it settles the cursor.
      const HWND parent = (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : 0;
      return parent ? SendMessageA(parent, WM_SETCURSOR, wParam, lParam) : FALSE;
    }
    case WM_SYSCOMMAND: return SystemCommand(hwnd, wParam);
    case WM_NCPAINT: PaintWindowFrame(hwnd); return 0;
    case WM_NCACTIVATE: {
      auto locked = LockWindow(hwnd);
      if (locked) locked->captionActive = wParam != 0;
      return TRUE;
    }
    case WM_PAINT: ValidateRect(hwnd, nullptr); return 0;
    case WM_SETFONT: {
      {
        auto locked = LockWindow(hwnd);
        if (!locked) return 0;
        locked->font = static_cast<HFONT>(wParam);
      }
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case WM_GETFONT: {
      auto locked = LockWindow(hwnd);
      return locked ? static_cast<LRESULT>(locked->font) : 0;
    }
    case WM_SETICON: {
      if (wParam != ICON_SMALL && wParam != ICON_BIG) return 0;
      HICON previous;
      {
        auto locked = LockWindow(hwnd);
        if (!locked) return 0;
        previous = std::exchange(locked->icons[wParam], static_cast<HICON>(lParam));
      }
      SyncTopLevel(hwnd);  // the display shows the big icon
      return static_cast<LRESULT>(previous);
    }
    case WM_GETICON: {
      auto locked = LockWindow(hwnd);
      return locked && wParam <= ICON_BIG ? static_cast<LRESULT>(locked->icons[wParam]) : 0;
    }
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

}  // namespace platform
