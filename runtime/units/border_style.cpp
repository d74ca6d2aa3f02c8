#include "runtime/units/border_style.h"

#include "platform/windows/window.h"

namespace runtime::units {

using namespace platform;

void ApplyBorderStyle(HWND window, int32_t style) {
  struct Added {
    DWORD style, exStyle;
  };
  static constexpr Added kAdded[] = {
      {0, 0},
      {0, WS_EX_CLIENTEDGE},
      {0, WS_EX_DLGMODALFRAME},
      {0, WS_EX_STATICEDGE},
      {0, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME},
      {WS_BORDER, 0},
  };
  const Added added = style >= 0 && style < 6 ? kAdded[style] : Added{0, 0};
  const auto oldStyle = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
  const auto oldExStyle = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
  SetWindowLongPtrA(window, GWL_STYLE, (oldStyle & ~WS_BORDER) | added.style);
  SetWindowLongPtrA(window, GWL_EXSTYLE,
                    (oldExStyle & ~(WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE)) | added.exStyle);
  SetWindowPos(window, 0, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace runtime::units
