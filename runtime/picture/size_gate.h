// The one gate in front of every pixel buffer: sizes are computed in 64 bits,
// checked before a multiplication could wrap, and capped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/base/checked_size.h"

namespace runtime::picture {

inline constexpr uint64_t kMaxPixelBlockBytes = platform::kMaxPixelBlockBytes;

struct DecodeLimits {
  // Largest pixel block a decode may allocate (headers of packed DIBs included).
  uint64_t maxBlockBytes = kMaxPixelBlockBytes;
};

// Bytes in one row of `width` pixels of `bitsPerPixel` bits, rounded up to a
// multiple of `alignment` bytes (1, 2 or 4). Empty for a zero width or a row
// beyond the limit.
std::optional<uint64_t> RowBytes(uint64_t width, uint32_t bitsPerPixel, uint32_t alignment, const DecodeLimits& limits);

struct BlockLayout {
  uint64_t rowBytes;  // one row, padded to the alignment
  size_t blockBytes;  // headerBytes + rowBytes × height
};

// The block of a decoded picture of width × height pixels. Empty when either
// side is zero, when the block passes the limit, or when the picture could not
// be drawn: drawing goes through a 32-bit bitmap of the picture's size, and a
// picture the drawing layer would refuse is refused here, before its pixels
// are allocated.
std::optional<BlockLayout> PictureBlock(uint64_t width, uint64_t height, uint32_t bitsPerPixel, uint32_t alignment,
                                        uint64_t headerBytes, const DecodeLimits& limits);

}  // namespace runtime::picture
