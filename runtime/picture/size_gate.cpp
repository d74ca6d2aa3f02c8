#include "runtime/picture/size_gate.h"

#include "platform/base/checked_size.h"
#include "platform/gdi/raster/checked_size.h"

namespace runtime::picture {
namespace {

// Widths and heights never exceed 32 bits in any format read here; refusing
// larger ones keeps every product of two sides below 2^64.
constexpr uint64_t kMaxDimension = (uint64_t{1} << 32) - 1;

}  // namespace

std::optional<uint64_t> RowBytes(uint64_t width, uint32_t bitsPerPixel, uint32_t alignment,
                                 const DecodeLimits& limits) {
  if (width > kMaxDimension) return std::nullopt;
  return platform::CheckedRowBytes(static_cast<int64_t>(width), bitsPerPixel, alignment, limits.maxBlockBytes);
}

bool WithinBudget(uint64_t width, uint64_t height, const DecodeLimits& limits) {
  if (width > kMaxDimension || height > kMaxDimension) return false;
  const uint64_t pixels = width * height;  // below 2^64: both sides are below 2^32
  if (pixels <= kPixelsFreeOfBudget) return true;
  return limits.sourceBytes >= (pixels + kPixelsPerSourceByte - 1) / kPixelsPerSourceByte;
}

std::optional<BlockLayout> PictureBlock(uint64_t width, uint64_t height, uint32_t bitsPerPixel, uint32_t alignment,
                                        uint64_t headerBytes, const DecodeLimits& limits) {
  if (width > kMaxDimension || height == 0 || height > kMaxDimension) return std::nullopt;
  if (!WithinBudget(width, height, limits)) return std::nullopt;
  if (!platform::gdi::PixelBytes(static_cast<int64_t>(width), static_cast<int64_t>(height), 4)) return std::nullopt;
  const auto rowBytes = RowBytes(width, bitsPerPixel, alignment, limits);
  if (!rowBytes) return std::nullopt;
  auto total = platform::CheckedSpan(*rowBytes, height, headerBytes, limits.maxBlockBytes);
  if (!total || *total > SIZE_MAX || *total > uint64_t{INT32_MAX}) return std::nullopt;
  return BlockLayout{*rowBytes, static_cast<size_t>(*total)};
}

}  // namespace runtime::picture
