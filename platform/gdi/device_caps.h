// Facts about the display: a 32-bit true-colour screen at 96 pixels per inch.
#pragma once

#include "platform/gdi/gdi_types.h"

namespace platform {

int GetDeviceCaps(HDC dc, int index);
// Mode 0 and ENUM_CURRENT_SETTINGS describe the current screen; other mode
// numbers report FALSE.
BOOL EnumDisplaySettingsA(const char* device, DWORD mode, DEVMODEA* out);

namespace gdi {
// The screen's size in pixels.
SIZE DisplaySize();
}  // namespace gdi

}  // namespace platform
