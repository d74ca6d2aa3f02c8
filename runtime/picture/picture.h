// A decoded picture and its kinds. The field order is the record layout that
// the drawing code and the units read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/base/types.h"
#include "platform/gdi/blit.h"
#include "runtime/picture/pixel_block.h"

namespace runtime::picture {

enum class PictureKind : int32_t {
  None = 0,
  Jpeg = 1,    // rows bottom-up, blue green red, no padding
  Bmp = 2,     // as Jpeg
  Icon = 3,    // icon handle, no pixels
  Cursor = 4,  // icon handle (made as an icon), no pixels
  Gif = 5,     // packed 8-bit DIB, rows top-down, padded to 4 bytes
  Pcx8 = 6,    // packed 8-bit DIB, rows top-down, padded to 4 bytes
  Pcx1 = 7,    // monochrome rows top-down, each row an even byte count
  Png = 8,     // rows top-down, blue green red alpha
};

struct Picture {
  int32_t kind = 0;
  int32_t width = 0;
  int32_t height = 0;
  platform::HICON icon = 0;
  uint8_t* pixels = nullptr;  // inside the block pixelOwner holds
  int32_t pixelByteCount = 0;
  // The pixel block. Pictures decoded from the same bytes may share it: it
  // goes with the last picture that holds it. Pixels are never written after
  // decoding.
  std::shared_ptr<const void> pixelOwner;
};

// Clears the record's fields, destroys its icon, lets go of its pixels and
// frees the record itself. Null is ignored.
void DestroyPicture(Picture* picture);

struct PictureDeleter {
  void operator()(Picture* picture) const { DestroyPicture(picture); }
};
using PicturePtr = std::unique_ptr<Picture, PictureDeleter>;

// A new record of the given kind and size that takes over `pixels` (empty
// for icons and cursors); null when out of memory.
PicturePtr MakePicture(PictureKind kind, int32_t width, int32_t height, PixelBlock pixels);

// The colour rows of a JPEG or BMP picture as the drawing layer reads them
// (stored bottom-up, three bytes a pixel, no padding); nothing for other
// kinds, or for a pixel block too short for the picture's size.
std::optional<platform::ColourRows> PhotographRows(const Picture& picture);

}  // namespace runtime::picture
