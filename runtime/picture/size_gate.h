// The one gate in front of every pixel buffer: sizes are computed in 64 bits,
// checked before a multiplication could wrap, and capped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/checked_size.h"

namespace runtime::picture {

inline constexpr uint64_t kMaxPixelBlockBytes = platform::kMaxPixelBlockBytes;

struct DecodeLimits {
  // Largest pixel block a decode may allocate (headers of packed DIBs included).
  uint64_t maxBlockBytes = kMaxPixelBlockBytes;
};

// Bytes in one row of `width` pixels of `bitsPerPixel` bits, rounded up to a
// multiple of `alignment` bytes (1, 2 or 4). Empty for a zero width or a row
// beyond the limit.
std::optional<uint64_t> RowBytes(uint64_t width, uint32_t bitsPerPixel, uint32_t alignment,
                                 const DecodeLimits& limits);

// headerBytes + rowBytes * rows, or empty when zero, or beyond the limit.
std::optional<size_t> BlockBytes(uint64_t rowBytes, uint64_t rows, uint64_t headerBytes,
                                 const DecodeLimits& limits);

}  // namespace runtime::picture
