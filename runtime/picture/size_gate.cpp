#include "runtime/picture/size_gate.h"

namespace runtime::picture {

namespace {
// Widths and heights never exceed 32 bits in any format read here; refusing
// larger ones keeps every product below 2^64.
constexpr uint64_t kMaxDimension = uint64_t{1} << 32;
}  // namespace

std::optional<uint64_t> RowBytes(uint64_t width, uint32_t bitsPerPixel, uint32_t alignment,
                                 const DecodeLimits& limits) {
  if (width == 0 || width > kMaxDimension || bitsPerPixel == 0 || bitsPerPixel > 64) return std::nullopt;
  if (alignment == 0) return std::nullopt;
  const uint64_t bits = width * bitsPerPixel;  // < 2^38
  uint64_t bytes = (bits + 7) / 8;
  bytes = (bytes + alignment - 1) / alignment * alignment;
  if (bytes > limits.maxBlockBytes) return std::nullopt;
  return bytes;
}

std::optional<size_t> BlockBytes(uint64_t rowBytes, uint64_t rows, uint64_t headerBytes,
                                 const DecodeLimits& limits) {
  if (rowBytes == 0 || rows == 0 || rows > kMaxDimension) return std::nullopt;
  if (headerBytes > limits.maxBlockBytes) return std::nullopt;
  const uint64_t room = limits.maxBlockBytes - headerBytes;
  if (rows > room / rowBytes) return std::nullopt;
  const uint64_t total = headerBytes + rowBytes * rows;
  if (total > SIZE_MAX || total > uint64_t{INT32_MAX}) return std::nullopt;
  return static_cast<size_t>(total);
}

}  // namespace runtime::picture
