#include "runtime/picture/picture.h"

#include <cstdlib>
#include <new>

#include "platform/gdi/icons/icon.h"

namespace runtime::picture {

void DestroyPicture(Picture* picture) {
  if (!picture) return;
  picture->kind = 0;
  picture->width = 0;
  picture->height = 0;
  picture->pixelByteCount = 0;
  if (picture->icon) platform::DestroyIcon(picture->icon);
  picture->icon = 0;
  if (picture->pixelOwner) picture->pixelOwner.reset();
  else std::free(picture->pixels);
  picture->pixels = nullptr;
  delete picture;
}

PicturePtr MakePicture(PictureKind kind, int32_t width, int32_t height, uint8_t* pixels, size_t byteCount) {
  auto* picture = new (std::nothrow) Picture;
  if (!picture) {
    std::free(pixels);
    return nullptr;
  }
  picture->kind = static_cast<int32_t>(kind);
  picture->width = width;
  picture->height = height;
  if (pixels) {
    try {
      picture->pixelOwner = std::shared_ptr<const void>(pixels, std::free);
    } catch (const std::bad_alloc&) {
      delete picture;  // the pixels went with the failed owner
      return nullptr;
    }
  }
  picture->pixels = pixels;
  picture->pixelByteCount = static_cast<int32_t>(byteCount);  // the size gate keeps it below 2^31
  return PicturePtr(picture);
}

}  // namespace runtime::picture
