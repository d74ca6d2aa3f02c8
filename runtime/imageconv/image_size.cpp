#include "runtime/imageconv/image_size.h"

namespace imageconv {

std::optional<size_t> CheckedImageBytes(int64_t width, int64_t height, int64_t bytesPerPixel) {
  if (width <= 0 || height <= 0 || bytesPerPixel <= 0) return std::nullopt;
  const uint64_t limit = kMaxImageBytes;
  // Divide before multiplying so that no step can wrap.
  if (static_cast<uint64_t>(width) > limit / static_cast<uint64_t>(bytesPerPixel)) return std::nullopt;
  const uint64_t row = static_cast<uint64_t>(width) * static_cast<uint64_t>(bytesPerPixel);
  if (static_cast<uint64_t>(height) > limit / row) return std::nullopt;
  return static_cast<size_t>(row * static_cast<uint64_t>(height));
}

std::optional<uint64_t> CheckedSpan(uint64_t a, uint64_t b, uint64_t c, uint64_t limit) {
  if (a != 0 && b > limit / a) return std::nullopt;
  const uint64_t product = a * b;
  if (c > limit - product) return std::nullopt;
  return product + c;
}

}  // namespace imageconv
