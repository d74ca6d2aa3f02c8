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
  // How many bytes the encoded picture has: a picture declaring far more
  // pixels than they could carry is refused (see WithinBudget).
  uint64_t sourceBytes = UINT64_MAX;

  // These limits for a picture read from `bytes` bytes.
  DecodeLimits ForSource(uint64_t bytes) const {
    DecodeLimits limits = *this;
    limits.sourceBytes = bytes < sourceBytes ? bytes : sourceBytes;
    return limits;
  }
};

// The budget every picture is held to before its pixels are allocated. A
// picture of up to 64 megapixels (8192 x 8192) decodes whatever its file's
// size. A larger one must bring at least one byte of file for every 32
// pixels it declares: a camera's 200-megapixel JPEG of tens of megabytes
// (5 to 20 pixels a byte) and a 30000 x 6000 panorama pass, while a
// megabyte that declares a 16384 x 16384 screen (268 pixels a byte: a
// compressed bomb) does not. The size gate's 1 GiB for any one pixel block
// stays the upper bound.
inline constexpr uint64_t kPixelsFreeOfBudget = uint64_t{64} << 20;
inline constexpr uint64_t kPixelsPerSourceByte = 32;
bool WithinBudget(uint64_t width, uint64_t height, const DecodeLimits& limits);

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
