// The one size gate every pixel buffer goes through, whoever makes it:
// products computed so that no step can wrap, and refused past a limit.
#pragma once

#include <cstdint>
#include <optional>

namespace platform {

// The largest pixel block any decoder, reader or bitmap agrees to make.
inline constexpr uint64_t kMaxPixelBlockBytes = uint64_t{1} << 30;

// Bytes in one row of `width` pixels of `bitsPerPixel` bits, rounded up to a
// multiple of `alignBytes`; nothing when a factor is out of range or the row
// passes `limit`.
std::optional<uint64_t> CheckedRowBytes(int64_t width, int64_t bitsPerPixel, int64_t alignBytes, uint64_t limit);

// a * b + c, or nothing when it would pass `limit`.
std::optional<uint64_t> CheckedSpan(uint64_t a, uint64_t b, uint64_t c, uint64_t limit);

}  // namespace platform
