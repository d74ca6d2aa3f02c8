// Block transfers with ternary raster operations, and the simple fills.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gdi/gdi_types.h"

namespace platform {

// Coordinates are logical in each DC. The DC's selected brush is the pattern.
BOOL BitBlt(HDC target, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop);
// Negative extents mirror. The target's stretch mode chooses how pixels are
// combined: HALFTONE averages the area each target pixel covers, the others
// take the nearest source pixel.
BOOL StretchBlt(HDC target, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh, DWORD rop);
BOOL PatBlt(HDC target, int x, int y, int width, int height, DWORD rop);

// Rows of colour pixels a caller holds (three bytes a pixel: blue, green,
// red), drawn from where they lie: no bitmap of their size is made. `top`
// is the top row, `stride` the step to the next row down (negative for rows
// stored bottom-up).
struct ColourRows {
  const uint8_t* top = nullptr;
  ptrdiff_t stride = 0;
  int32_t width = 0;
  int32_t height = 0;
};
// StretchBlt with the rows as the source, at (sx, sy, sw, sh) in row
// coordinates: every raster operation and stretch mode, the same pixels as
// from a bitmap of the same rows. On a monochrome target pixels of
// `background` become 1, as a source DC's background colour would.
BOOL StretchColourRows(HDC target, int x, int y, int width, int height, const ColourRows& rows, int sx, int sy, int sw,
                       int sh, DWORD rop, COLORREF background = 0xFFFFFF);

// One pixel at a logical position; CLR_INVALID outside the DC's drawable
// (or readable) area. SetPixel returns the colour stored.
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);

int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// Outline with the selected pen, interior with the selected brush, both
// combined with the target through the DC's ROP2.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);

}  // namespace platform
