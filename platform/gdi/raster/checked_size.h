// The one gate in front of every pixel buffer: row and image sizes computed
// in 64 bits, refused before they could wrap or reach absurd sizes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/base/checked_size.h"

namespace platform::gdi {

// Largest pixel block we agree to allocate (1 GiB); hostile headers ask for more.
inline constexpr uint64_t kMaxImageBytes = platform::kMaxPixelBlockBytes;

// Bytes in one row of `width` pixels of `bitsPerPixel`, rounded up to a
// multiple of `alignBytes` (2 for device bitmaps, 4 for DIBs).
std::optional<size_t> RowBytes(int64_t width, int64_t bitsPerPixel, int64_t alignBytes);

// rowBytes * height, or nothing when a side is not positive or the product
// would pass kMaxImageBytes.
std::optional<size_t> ImageBytes(int64_t rowBytes, int64_t height);

// width * height * bytesPerPixel with the same checks.
std::optional<size_t> PixelBytes(int64_t width, int64_t height, int64_t bytesPerPixel);

}  // namespace platform::gdi
