// The pixel formats a device bitmap can have, a view of one bitmap's pixels,
// and the per-format kernels behind one small function table. Everything
// above this file works on rows of uint32 values in "operation domain":
// colour pixels as 0x00RRGGBB, monochrome pixels as 0 or 0xFFFFFFFF.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::gdi {

// Bgr24 is read only: rows of three bytes a pixel that a caller draws from
// where they lie (decoded photographs); no bitmap or window is ever one.
enum class PixelFormat : uint8_t { Bgrx32, Mono1, Bgr24 };

// Rows top-down; `stride` may be negative (bottom-up storage). Monochrome
// rows hold 8 pixels a byte, most significant bit first.
struct PixelPlane {
  PixelFormat format = PixelFormat::Bgrx32;
  uint8_t* first = nullptr;
  ptrdiff_t stride = 0;
  int32_t width = 0;
  int32_t height = 0;

  uint8_t* Row(int32_t y) const { return first + y * stride; }
};

struct FormatKernels {
  // n pixels from (x, y) into `out` in operation domain.
  void (*load)(const PixelPlane&, int32_t x, int32_t y, int32_t n, uint32_t* out);
  // n pixels from `in` (operation domain) to (x, y); null for Bgr24.
  void (*store)(const PixelPlane&, int32_t x, int32_t y, int32_t n, const uint32_t* in);
};

const FormatKernels& KernelsFor(PixelFormat format);

}  // namespace platform::gdi
