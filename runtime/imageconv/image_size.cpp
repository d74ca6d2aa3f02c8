#include "runtime/imageconv/image_size.h"

#include "platform/base/checked_size.h"

namespace runtime::imageconv {

std::optional<size_t> CheckedImageBytes(int64_t width, int64_t height, int64_t bytesPerPixel) {
  if (height <= 0 || bytesPerPixel > 8) return std::nullopt;
  auto row = platform::CheckedRowBytes(width, bytesPerPixel * 8, 1, kMaxImageBytes);
  if (!row) return std::nullopt;
  auto total = platform::CheckedSpan(*row, static_cast<uint64_t>(height), 0, kMaxImageBytes);
  if (!total) return std::nullopt;
  return static_cast<size_t>(*total);
}

std::optional<uint64_t> CheckedSpan(uint64_t a, uint64_t b, uint64_t c, uint64_t limit) {
  return platform::CheckedSpan(a, b, c, limit);
}

}  // namespace runtime::imageconv
