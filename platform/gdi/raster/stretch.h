// Resampling for StretchBlt. Both methods are separable and work in integer
// arithmetic on one axis description per direction.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace platform::gdi {

// An allocator whose elements start out unset: a stretch writes every value
// of its output, so a megabyte-sized result is not zeroed first.
template <typename T>
struct UnsetAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = UnsetAllocator<U>;
  };
  UnsetAllocator() = default;
  template <typename U>
  UnsetAllocator(const UnsetAllocator<U>&) noexcept {}
  template <typename U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <typename U, typename... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
};

// What a stretch writes: width x height 0x00RRGGBB values, row by row.
using StretchedPixels = std::vector<uint32_t, UnsetAllocator<uint32_t>>;

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
                    const SourceRowFn& sourceRow, StretchedPixels& out);

// Area average: each target pixel is the mean of the source area it covers,
// partly covered source pixels weighted by the exact fraction covered,
// rounded to nearest. Values are 0x00RRGGBB pixels.
void StretchAreaAverage(const StretchAxis& ax, const StretchAxis& ay, int32_t x0, int32_t y0, int32_t width,
                        int32_t height, const SourceRowFn& sourceRow, StretchedPixels& out);

// Source row `row` as sourceLength pixels of three bytes: blue, green, red.
using SourceBgrRowFn = std::function<const uint8_t*(int32_t row)>;

// The same average read straight from three-byte rows (decoded photographs),
// without widening every source row first. `sourceRow` must answer from two
// threads at once: a large stretch shares its rows out.
void StretchAreaAverageBgr(const StretchAxis& ax, const StretchAxis& ay, int32_t x0, int32_t y0, int32_t width,
                           int32_t height, const SourceBgrRowFn& sourceRow, StretchedPixels& out);

}  // namespace platform::gdi
