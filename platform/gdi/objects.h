// Pens, brushes, fonts, stock objects and the calls common to every
// drawing object.
#pragma once

#include "platform/gdi/gdi_types.h"

namespace platform {

HBRUSH CreateSolidBrush(COLORREF colour);
HBRUSH CreateHatchBrush(int hatch, COLORREF colour);
// The brush keeps its own copy of the bitmap (8 x 8 is the usual size).
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
HPEN CreatePen(int style, int width, COLORREF colour);
// An object only: nothing here draws text.
HFONT CreateFontIndirectA(const LOGFONTA* font);

HGDIOBJ GetStockObject(int which);

// Returns the previously selected object of that kind, 0 on failure. For
// regions it returns the region complexity, as the desktop does.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Stock objects are never deleted; a bitmap still selected in a DC is not
// deleted (FALSE).
BOOL DeleteObject(HGDIOBJ object);
// BITMAP, DIBSECTION, LOGBRUSH, LOGPEN or LOGFONTA; with `out` null, the
// size needed. Returns bytes written, 0 on failure.
int GetObjectA(HGDIOBJ object, int size, void* out);

}  // namespace platform
