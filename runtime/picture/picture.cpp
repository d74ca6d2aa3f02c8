#include "runtime/picture/picture.h"

#include <algorithm>
#include <new>

#include "platform/gdi/icons/icon.h"

namespace runtime::picture {

void DestroyPicture(Picture* picture) {
  if (!picture) return;
  if (picture->icon) platform::DestroyIcon(picture->icon);
  delete picture;  // the pixels go with the last picture that holds them
}

PicturePtr MakePicture(PictureKind kind, int32_t width, int32_t height, PixelBlock pixels) {
  PicturePtr picture(new (std::nothrow) Picture);
  if (!picture) return nullptr;
  picture->kind = static_cast<int32_t>(kind);
  picture->width = width;
  picture->height = height;
  if (!pixels.empty()) {
    const size_t byteCount = pixels.size();
    uint8_t* address = pixels.data();
    try {
      picture->pixelOwner = std::move(pixels).Share();
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
    picture->pixels = address;
    picture->pixelByteCount = static_cast<int32_t>(byteCount);  // the size gate keeps it below 2^31
  }
  return picture;
}

std::optional<platform::ColourRows> PhotographRows(const Picture& picture) {
  const auto kind = static_cast<PictureKind>(picture.kind);
  if ((kind != PictureKind::Jpeg && kind != PictureKind::Bmp) || !picture.pixels) return std::nullopt;
  if (picture.width <= 0 || picture.height <= 0) return std::nullopt;
  const uint64_t rowBytes = uint64_t{static_cast<uint32_t>(picture.width)} * 3;
  if (rowBytes * static_cast<uint32_t>(picture.height) > static_cast<uint32_t>(std::max(picture.pixelByteCount, 0)))
    return std::nullopt;
  platform::ColourRows rows;
  rows.top = picture.pixels + (static_cast<size_t>(picture.height) - 1) * rowBytes;
  rows.stride = -static_cast<ptrdiff_t>(rowBytes);
  rows.width = picture.width;
  rows.height = picture.height;
  return rows;
}

}  // namespace runtime::picture
