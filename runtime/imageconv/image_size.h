// The one gate in front of every pixel block: readers and the image buffer
// ask it for a block's size and never multiply sizes themselves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace runtime::imageconv {

// Largest pixel block (or reader raster) the library makes. A fuzzing build
// lowers it so that tiny inputs cannot ask for huge files.
#ifdef TESSELLON_IMAGECONV_MAX_BYTES
inline constexpr uint64_t kMaxImageBytes = TESSELLON_IMAGECONV_MAX_BYTES;
#else
inline constexpr uint64_t kMaxImageBytes = uint64_t{1} << 30;
#endif

// width × height × bytesPerPixel, or nothing when a factor is not positive
// or the product exceeds kMaxImageBytes. Computed so that nothing can wrap.
std::optional<size_t> CheckedImageBytes(int64_t width, int64_t height, int64_t bytesPerPixel);

// a × b + c for offsets and lengths inside files, or nothing when the result
// would pass `limit`.
std::optional<uint64_t> CheckedSpan(uint64_t a, uint64_t b, uint64_t c, uint64_t limit);

}  // namespace runtime::imageconv
