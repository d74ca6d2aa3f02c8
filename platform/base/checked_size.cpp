#include "platform/base/checked_size.h"

namespace platform {

std::optional<uint64_t> CheckedRowBytes(int64_t width, int64_t bitsPerPixel, int64_t alignBytes, uint64_t limit) {
  // Widths up to 2^32 and 64 bits a pixel keep the bit count below 2^38.
  if (width <= 0 || width > (int64_t{1} << 32) || bitsPerPixel <= 0 || bitsPerPixel > 64 || alignBytes <= 0 ||
      alignBytes > 64)
    return std::nullopt;
  const uint64_t bytes = (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitsPerPixel) + 7) / 8;
  const uint64_t align = static_cast<uint64_t>(alignBytes);
  const uint64_t rounded = (bytes + align - 1) / align * align;
  if (rounded > limit) return std::nullopt;
  return rounded;
}

std::optional<uint64_t> CheckedSpan(uint64_t a, uint64_t b, uint64_t c, uint64_t limit) {
  if (a != 0 && b > limit / a) return std::nullopt;
  const uint64_t product = a * b;
  if (c > limit - product) return std::nullopt;
  return product + c;
}

}  // namespace platform
