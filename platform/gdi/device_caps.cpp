#include "platform/gdi/device_caps.h"

#include <cstring>

#include "platform/base/backend.h"
#include "platform/gdi/gdi_objects.h"

namespace platform {

namespace gdi {

SIZE DisplaySize() {
  const SIZE size = ScreenSize();
  if (size.cx > 0 && size.cy > 0) return size;
  return SIZE{1920, 1080};
}

}  // namespace gdi

int GetDeviceCaps(HDC dc, int index) {
  if (dc != 0 && !gdi::FindDc(dc)) return 0;
  const SIZE screen = gdi::DisplaySize();
  constexpr int kPixelsPerInch = 96;
  switch (index) {
    case HORZRES: return screen.cx;
    case VERTRES: return screen.cy;
    // Millimetres, rounded, at 96 pixels per inch.
    case HORZSIZE: return static_cast<int>((int64_t{screen.cx} * 254 + kPixelsPerInch * 5) / (kPixelsPerInch * 10));
    case VERTSIZE: return static_cast<int>((int64_t{screen.cy} * 254 + kPixelsPerInch * 5) / (kPixelsPerInch * 10));
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case LOGPIXELSX:
    case LOGPIXELSY: return kPixelsPerInch;
    case SIZEPALETTE: return 0;
    case COLORRES: return 24;
    default: return 0;
  }
}

BOOL EnumDisplaySettingsA(const char*, DWORD mode, DEVMODEA* out) {
  if (!out || (mode != ENUM_CURRENT_SETTINGS && mode != ENUM_REGISTRY_SETTINGS && mode != 0)) return FALSE;
  const SIZE screen = gdi::DisplaySize();
  *out = DEVMODEA{};
  std::strcpy(out->dmDeviceName, "DISPLAY");
  out->dmSize = sizeof(DEVMODEA);
  out->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
  out->dmBitsPerPel = 32;
  out->dmPelsWidth = static_cast<DWORD>(screen.cx);
  out->dmPelsHeight = static_cast<DWORD>(screen.cy);
  out->dmDisplayFrequency = 60;
  return TRUE;
}

}  // namespace platform
