// Icons made from the image data of icon and cursor files.
#pragma once

#include <cstdint>

#include "platform/base/types.h"
#include "platform/gdi/gdi_types.h"

namespace platform {

// `bits` is one image of an icon file: a DIB (BITMAPINFOHEADER with twice
// the height, colour table, colour rows, then the 1-bit AND mask rows; 1, 4,
// 8, 24 or 32 bits, 32 with alpha) or a PNG file. For isIcon FALSE the data
// start with the cursor's two 16-bit hot-spot coordinates. cx, cy: the size
// to make (0: the image's own). Versions 0x00020000 and 0x00030000 are
// accepted; flags are ignored. Every length is checked against `size`.
HICON CreateIconFromResourceEx(const uint8_t* bits, uint32_t size, BOOL isIcon, uint32_t version, int cx, int cy,
                               uint32_t flags);
HICON CreateIconFromResource(const uint8_t* bits, uint32_t size, BOOL isIcon, uint32_t version);
BOOL DestroyIcon(HICON icon);

// Draws the icon at (x, y) at cx x cy (0: its own size), stretched to the
// nearest pixel. DI_NORMAL blends icons with alpha and otherwise applies the
// AND mask, then the colour image with XOR. `step` and `background` are
// ignored.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH background, UINT flags);

// The icon's size in pixels.
BOOL GetIconSize(HICON icon, SIZE* size);
// New bitmaps the caller deletes: the AND mask (monochrome) and the colour
// image (32-bit, alpha dropped).
BOOL GetIconInfo(HICON icon, ICONINFO* info);

}  // namespace platform
