// A decoded picture and its kinds. The field order is the record layout that
// the drawing code and the units read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/base/types.h"

namespace runtime::picture {

enum class PictureKind : int32_t {
  None = 0,
  Jpeg = 1,     // rows bottom-up, blue green red, no padding
  Bmp = 2,      // as Jpeg
  Icon = 3,     // icon handle, no pixels
  Cursor = 4,   // icon handle (made as an icon), no pixels
  Gif = 5,      // packed 8-bit DIB, rows top-down, padded to 4 bytes
  Pcx8 = 6,     // packed 8-bit DIB, rows top-down, padded to 4 bytes
  Pcx1 = 7,     // monochrome rows top-down, each row an even byte count
  Png = 8,      // rows top-down, blue green red alpha
};

struct Picture {
  int32_t kind = 0;
  int32_t width = 0;
  int32_t height = 0;
  platform::HICON icon = 0;
  uint8_t* pixels = nullptr;  // released with std::free, or by pixelOwner when it is set
  int32_t pixelByteCount = 0;
  // Set when the pixels may be shared with other pictures of the same bytes:
  // they go with the last picture that holds them. Pixels are never written
  // after decoding.
  std::shared_ptr<const void> pixelOwner;
};

// Clears the record's fields, destroys its icon, lets go of its pixels and
// frees the record itself. Null is ignored.
void DestroyPicture(Picture* picture);

struct PictureDeleter {
  void operator()(Picture* picture) const { DestroyPicture(picture); }
};
using PicturePtr = std::unique_ptr<Picture, PictureDeleter>;

// A new record of the given kind and size that takes over `pixels`.
PicturePtr MakePicture(PictureKind kind, int32_t width, int32_t height, uint8_t* pixels, size_t byteCount);

}  // namespace runtime::picture
