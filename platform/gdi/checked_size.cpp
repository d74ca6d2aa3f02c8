#include "platform/gdi/checked_size.h"

namespace platform::gdi {

std::optional<size_t> RowBytes(int64_t width, int64_t bitsPerPixel, int64_t alignBytes) {
  if (width <= 0 || bitsPerPixel <= 0 || bitsPerPixel > 64 || alignBytes <= 0 || alignBytes > 64)
    return std::nullopt;
  // width is at most 2^31 and bits at most 64, so the product fits in 64 bits.
  if (width > (int64_t{1} << 31)) return std::nullopt;
  const uint64_t bits = static_cast<uint64_t>(width) * static_cast<uint64_t>(bitsPerPixel);
  const uint64_t alignBits = static_cast<uint64_t>(alignBytes) * 8;
  const uint64_t rounded = (bits + alignBits - 1) / alignBits * static_cast<uint64_t>(alignBytes);
  if (rounded > kMaxImageBytes) return std::nullopt;
  return static_cast<size_t>(rounded);
}

std::optional<size_t> ImageBytes(int64_t rowBytes, int64_t height) {
  if (rowBytes <= 0 || height <= 0) return std::nullopt;
  if (static_cast<uint64_t>(rowBytes) > kMaxImageBytes / static_cast<uint64_t>(height))
    return std::nullopt;
  return static_cast<size_t>(static_cast<uint64_t>(rowBytes) * static_cast<uint64_t>(height));
}

std::optional<size_t> PixelBytes(int64_t width, int64_t height, int64_t bytesPerPixel) {
  const auto row = RowBytes(width, bytesPerPixel * 8, 1);
  if (!row) return std::nullopt;
  return ImageBytes(static_cast<int64_t>(*row), height);
}

}  // namespace platform::gdi
