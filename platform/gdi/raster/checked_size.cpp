#include "platform/gdi/raster/checked_size.h"

#include "platform/base/checked_size.h"

namespace platform::gdi {

std::optional<size_t> RowBytes(int64_t width, int64_t bitsPerPixel, int64_t alignBytes) {
  // Device widths are 32-bit; wider rows are refused before the shared gate.
  if (width > (int64_t{1} << 31)) return std::nullopt;
  auto row = CheckedRowBytes(width, bitsPerPixel, alignBytes, kMaxImageBytes);
  if (!row) return std::nullopt;
  return static_cast<size_t>(*row);
}

std::optional<size_t> ImageBytes(int64_t rowBytes, int64_t height) {
  if (rowBytes <= 0 || height <= 0) return std::nullopt;
  auto total = CheckedSpan(static_cast<uint64_t>(rowBytes), static_cast<uint64_t>(height), 0, kMaxImageBytes);
  if (!total) return std::nullopt;
  return static_cast<size_t>(*total);
}

std::optional<size_t> PixelBytes(int64_t width, int64_t height, int64_t bytesPerPixel) {
  const auto row = RowBytes(width, bytesPerPixel * 8, 1);
  if (!row) return std::nullopt;
  return ImageBytes(static_cast<int64_t>(*row), height);
}

}  // namespace platform::gdi
