// The one loop behind every block transfer: rows of destination, source and
// pattern in operation domain, a raster program from the table, and the
// target format's kernels to load and store.
#pragma once

#include <functional>

#include "platform/gdi/gdi_objects.h"

namespace platform::gdi {

enum class Domain : uint8_t { Colour, Mono };

struct SourceRows {
  Domain domain = Domain::Colour;
  // n source values for target-plane pixels (x .. x + n - 1, y).
  std::function<void(int32_t x, int32_t y, int32_t n, uint32_t* out)> fetch;
  // Colour sources onto monochrome targets: pixels of this colour become 1.
  COLORREF background = 0xFFFFFF;
};

struct BlitOrder {
  bool bottomUp = false;  // rows from the bottom, for overlapping copies downwards
};

// Applies ternary operation `rop` to `area` (target-plane coordinates) of
// `target`, clipped to the target's clip. `brush` is the pattern (null or
// hollow: operations that need a pattern draw nothing).
void RunBlit(const DeviceContext& dc, const DrawTarget& target, const RECT& area, const SourceRows* source, uint8_t rop,
             const BrushObject* brush, BlitOrder order = {});

// The operation-domain value of a colour on a target of `domain`.
uint32_t ColourInDomain(COLORREF colour, Domain domain);

// A source that reads a DC's pixels: target-plane pixel (x, y) reads source
// plane pixel (x + dx, y + dy). Pixels outside the plane read as 0.
SourceRows PlaneSource(const PixelPlane& plane, int32_t dx, int32_t dy, COLORREF background);

}  // namespace platform::gdi
