// Logical palettes. The display is true colour, so palettes only carry
// their entries: selecting and realising one changes no pixel.
#pragma once

#include "platform/gdi/gdi_types.h"

namespace platform {

using HPALETTE = Handle;

struct PALETTEENTRY {
  BYTE peRed = 0;
  BYTE peGreen = 0;
  BYTE peBlue = 0;
  BYTE peFlags = 0;
};

// Callers allocate palNumEntries entries after the header, as the one-entry
// array invites.
struct LOGPALETTE {
  WORD palVersion = 0x300;
  WORD palNumEntries = 0;
  PALETTEENTRY palPalEntry[1];
};

HPALETTE CreatePalette(const LOGPALETTE* palette);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
UINT RealizePalette(HDC dc);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* out);

}  // namespace platform
