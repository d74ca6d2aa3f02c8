#include "platform/windows/system_metrics.h"

#include <array>

#include "platform/base/backend.h"
#include "platform/gdi/stock_objects.h"
#include "platform/windows/window_manager.h"

namespace platform {
namespace {

// COLORREF values (0x00BBGGRR) of a light desktop theme; 25 names no colour.
constexpr std::array<COLORREF, kSysColorCount> kSysColors = {
    0xC8C8C8,  // COLOR_SCROLLBAR
    0x000000,  // COLOR_BACKGROUND
    0xD1B499,  // COLOR_ACTIVECAPTION
    0xDBCDBF,  // COLOR_INACTIVECAPTION
    0xF0F0F0,  // COLOR_MENU
    0xFFFFFF,  // COLOR_WINDOW
    0x646464,  // COLOR_WINDOWFRAME
    0x000000,  // COLOR_MENUTEXT
    0x000000,  // COLOR_WINDOWTEXT
    0x000000,  // COLOR_CAPTIONTEXT
    0xB4B4B4,  // COLOR_ACTIVEBORDER
    0xFCF7F4,  // COLOR_INACTIVEBORDER
    0xABABAB,  // COLOR_APPWORKSPACE
    0xD77800,  // COLOR_HIGHLIGHT
    0xFFFFFF,  // COLOR_HIGHLIGHTTEXT
    0xF0F0F0,  // COLOR_BTNFACE
    0xA0A0A0,  // COLOR_BTNSHADOW
    0x6D6D6D,  // COLOR_GRAYTEXT
    0x000000,  // COLOR_BTNTEXT
    0x000000,  // COLOR_INACTIVECAPTIONTEXT
    0xFFFFFF,  // COLOR_BTNHIGHLIGHT
    0x696969,  // COLOR_3DDKSHADOW
    0xE3E3E3,  // COLOR_3DLIGHT
    0x000000,  // COLOR_INFOTEXT
    0xE1FFFF,  // COLOR_INFOBK
    0x000000,  // (none)
    0xCC6600,  // COLOR_HOTLIGHT
    0xEAD1B9,  // COLOR_GRADIENTACTIVECAPTION
    0xF2E4D7,  // COLOR_GRADIENTINACTIVECAPTION
    0xFF9933,  // COLOR_MENUHILIGHT
    0xF0F0F0,  // COLOR_MENUBAR
};

}  // namespace

COLORREF GetSysColor(int index) {
  if (index < 0 || index >= kSysColorCount) return 0;
  return kSysColors[static_cast<size_t>(index)];
}

HBRUSH GetSysColorBrush(int index) {
  // Made once, on first use, and never deleted.
  static const std::array<HBRUSH, kSysColorCount> brushes = [] {
    std::array<HBRUSH, kSysColorCount> made{};
    for (int i = 0; i < kSysColorCount; ++i)
      made[static_cast<size_t>(i)] = gdi::MakeStockBrush(BS_SOLID, GetSysColor(i));
    return made;
  }();
  if (index < 0 || index >= kSysColorCount || index == 25) return 0;
  return brushes[static_cast<size_t>(index)];
}

int GetSystemMetrics(int index) {
  const SIZE screen = ScreenSize();
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CXVIRTUALSCREEN: return screen.cx;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN: return screen.cy;
    case SM_CYFULLSCREEN: return screen.cy - kCaptionHeight;
    case SM_CXMAXIMIZED: return screen.cx + 2 * kSizingFrameWidth;
    case SM_CYMAXIMIZED: return screen.cy + 2 * kSizingFrameWidth;
    case SM_CYCAPTION: return kCaptionHeight;
    case SM_CYSMCAPTION: return kToolCaptionHeight;
    case SM_CYMENU: return kMenuBarHeight;
    case SM_CXBORDER:
    case SM_CYBORDER: return kBorderWidth;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME: return kFixedFrameWidth;
    case SM_CXSIZEFRAME:
    case SM_CYSIZEFRAME: return kSizingFrameWidth;
    case SM_CXEDGE:
    case SM_CYEDGE: return kEdgeWidth;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 17;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CXSIZE:
    case SM_CYSIZE: return kCaptionHeight - 1;
    case SM_CXMIN: return 136;
    case SM_CYMIN: return 39;
    case SM_CMONITORS: return 1;
    default: return 0;
  }
}

}  // namespace platform
