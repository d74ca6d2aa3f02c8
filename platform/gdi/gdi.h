// platform/gdi: everything the runtime draws with. Device contexts with their
// state and mapping modes, bitmaps and DIB conversions, block transfers with
// every ternary raster operation, fills, regions, palettes, pens, brushes and
// fonts; the pixel engine below them is gdi/raster (surfaces, pixel formats
// and their kernels, the raster-operation table, stretching), and icons and
// cursors built from icon-file data are gdi/icons. DCs over windows belong to
// platform/windows.
#pragma once

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/device_caps.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/raster/surface.h"
#include "platform/gdi/rgn.h"
