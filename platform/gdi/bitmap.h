// Device bitmaps (32-bit colour and 1-bit monochrome) and their conversions
// to and from device-independent bitmaps.
#pragma once

#include "platform/gdi/gdi_types.h"

namespace platform {

// Same format as the bitmap selected in `dc` (32-bit for window and screen
// DCs, and for dc 0).
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// planes 1 and bits 1 (monochrome, rows padded to 16 bits) or bits 32
// (4 bytes per pixel, B G R X). `bits` may be null for a cleared bitmap.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);

// From a DIB with 1, 4, 8, 24 or 32 bits per pixel (DIB_RGB_COLORS), bottom-up
// (positive height) or top-down. With CBM_INIT the pixels are converted from
// `bits`; `info` must then hold its colour table after the header. The result
// is a colour bitmap, compatible with the screen.
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage);
// A 32-bit colour bitmap whose pixels the caller reads and writes at *bits.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);

// Rows start..start+lines of `bitmap` (counted from the DIB's first stored
// row) into `bits` as the DIB `info` describes (24 or 32 bits, or 1 and 8
// with a colour table written after the header). With `bits` null the
// header is completed instead (biSizeImage, and for biBitCount 0 the
// bitmap's own format). Returns the rows copied, 0 on failure.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
// The reverse, from a 1, 4, 8, 24 or 32-bit DIB into a device bitmap.
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);

}  // namespace platform
