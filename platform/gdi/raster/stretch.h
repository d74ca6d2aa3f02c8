// Resampling for StretchBlt. Both methods are separable and work in integer
// arithmetic on one axis description per direction.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace platform::gdi {

// One direction of a stretch: `destLength` target pixels starting at
// `destStart` show `sourceLength` source pixels (both positive); `mirror`
// reverses the order.
struct StretchAxis {
  int32_t destStart = 0;
  int32_t destLength = 1;
  int32_t sourceLength = 1;
  bool mirror = false;
};

// Largest extent either method accepts; keeps every weight sum in range.
inline constexpr int32_t kMaxStretchExtent = 1 << 24;

// Source row `row` (0 .. sourceLength - 1 of the y axis) as sourceLength
// values of the x axis.
using SourceRowFn = std::function<const uint32_t*(int32_t row)>;

// Nearest pixel: the source pixel under each target pixel's centre. Writes
// width x height values for target pixels [x0, x0 + width) x [y0, y0 + height).
void StretchNearest(const StretchAxis& ax, const StretchAxis& ay, int32_t x0, int32_t y0, int32_t width, int32_t height,
                    const SourceRowFn& sourceRow, std::vector<uint32_t>& out);

// Area average: each target pixel is the mean of the source area it covers,
// partly covered source pixels weighted by the exact fraction covered,
// rounded to nearest. Values are 0x00RRGGBB pixels.
void StretchAreaAverage(const StretchAxis& ax, const StretchAxis& ay, int32_t x0, int32_t y0, int32_t width,
                        int32_t height, const SourceRowFn& sourceRow, std::vector<uint32_t>& out);

// Source row `row` as sourceLength pixels of three bytes: blue, green, red.
using SourceBgrRowFn = std::function<const uint8_t*(int32_t row)>;

// The same average read straight from three-byte rows (decoded photographs),
// without widening every source row first. `sourceRow` must answer from two
// threads at once: a large stretch shares its rows out.
void StretchAreaAverageBgr(const StretchAxis& ax, const StretchAxis& ay, int32_t x0, int32_t y0, int32_t width,
                           int32_t height, const SourceBgrRowFn& sourceRow, std::vector<uint32_t>& out);

}  // namespace platform::gdi
