// Everything the runtime draws with.
#pragma once

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/device_caps.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/rgn.h"
#include "platform/gdi/raster/surface.h"
