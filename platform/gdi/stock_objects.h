// The stock objects: created once, on first use, and never deleted.
#pragma once

#include "platform/gdi/gdi_objects.h"

namespace platform::gdi {

// A brush that DeleteObject leaves alone, for the stock set and the
// system-colour brushes.
HBRUSH MakeStockBrush(UINT style, COLORREF colour);
// 0 for an index without a stock object.
Handle StockHandle(int which);
// The 1 x 1 monochrome bitmap every new memory DC starts with.
HBITMAP DefaultBitmapHandle();
// The state a new DC starts in, with the stock pen, brush and font selected.
DcState DefaultDcState();
// The default palette, made once by the stock set; and whether a palette
// handle is that one.
Handle MakeStockPalette();
bool IsStockPalette(Handle handle);

// The font every DC starts with and DEFAULT_GUI_FONT's description.
LOGFONTA DefaultGuiFont();

}  // namespace platform::gdi
