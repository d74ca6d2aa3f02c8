#include "platform/gdi/icons/icon_png.h"

#include <png.h>

#include <cstring>
#include <new>

#include "platform/gdi/raster/checked_size.h"

namespace platform::gdi {

bool LooksLikePng(std::span<const uint8_t> data) {
  static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return data.size() >= 8 && std::memcmp(data.data(), kSignature, 8) == 0;
}

std::optional<DecodedPng> DecodePng(std::span<const uint8_t> data) {
  if (!LooksLikePng(data)) return std::nullopt;
  // The simplified API catches libpng's errors itself and reports them as a
  // 0 result, so no long jump ever crosses this frame.
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) {
    png_image_free(&image);
    return std::nullopt;
  }
  image.format = PNG_FORMAT_BGRA;
  const auto bytes = PixelBytes(image.width, image.height, 4);
  if (!bytes || image.width > INT32_MAX || image.height > INT32_MAX) {
    png_image_free(&image);
    return std::nullopt;
  }
  DecodedPng out;
  out.width = static_cast<int32_t>(image.width);
  out.height = static_cast<int32_t>(image.height);
  try {
    out.pixels.resize(*bytes / 4);
  } catch (const std::bad_alloc&) {
    png_image_free(&image);
    return std::nullopt;
  }
  // Blue, green, red, alpha bytes read back as 0xAARRGGBB little-endian words.
  const int ok = png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr);
  png_image_free(&image);
  if (!ok) return std::nullopt;
  return out;
}

}  // namespace platform::gdi
