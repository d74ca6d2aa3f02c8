#include "platform/backends/offscreen/png_file.h"

#include <png.h>

#include <cstring>

namespace platform {

bool WriteRgbPng(const std::string& path, int32_t width, int32_t height, std::span<const uint8_t> rgb,
                 std::string* error) {
  if (width <= 0 || height <= 0 || rgb.size() < static_cast<size_t>(width) * height * 3) {
    if (error) *error = "no pixels";
    return false;
  }
  // The simplified API keeps libpng's longjmp inside the library and reports
  // failure (including a failed flush or close) through its result.
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  const int ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), width * 3, nullptr);
  if (!ok && error) *error = image.message[0] ? image.message : "the file could not be written";
  png_image_free(&image);
  return ok != 0;
}

}  // namespace platform
