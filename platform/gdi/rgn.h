// Region handles: rectangle lists with the usual combinations, and a DC's
// clip built from them.
#pragma once

#include "platform/gdi/gdi_types.h"

namespace platform {

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
// target = a op b (b ignored for RGN_COPY); the result's complexity, or ERROR.
int CombineRgn(HRGN target, HRGN a, HRGN b, int op);
int OffsetRgn(HRGN region, int dx, int dy);
BOOL PtInRegion(HRGN region, int x, int y);
int GetRgnBox(HRGN region, RECT* box);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
BOOL EqualRgn(HRGN a, HRGN b);

// Clipping, in device coordinates. A null region removes the clip.
int SelectClipRgn(HDC dc, HRGN region);
int GetClipBox(HDC dc, RECT* box);  // logical coordinates
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);

}  // namespace platform
