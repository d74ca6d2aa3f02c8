// Device bitmaps: compatible colour bitmaps and monochrome bitmaps from rows.
#include "platform/gdi/bitmap.h"

#include <cstring>

#include "platform/gdi/gdi_objects.h"

namespace platform {

using namespace gdi;

HBITMAP CreateCompatibleBitmap(HDC dcHandle, int width, int height) {
  bool mono = false;
  if (dcHandle != 0) {
    auto dc = FindDc(dcHandle);
    if (!dc) return 0;
    // A memory DC makes bitmaps like the one it holds: a fresh memory DC
    // still holds the 1 x 1 monochrome bitmap and so makes monochrome ones.
    mono = dc->kind == DeviceContext::Kind::Memory && dc->bitmap && dc->bitmap->Format() == PixelFormat::Mono1;
  }
  auto bitmap = mono ? BitmapObject::CreateMono(width, height) : BitmapObject::CreateColour(width, height);
  if (!bitmap) return 0;
  return Handles().Add(ObjectKind::Bitmap, bitmap);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (planes != 1) return 0;
  if (bitsPerPixel == 1) {
    auto bitmap = BitmapObject::CreateMono(width, height);
    if (!bitmap) return 0;
    if (bits) {
      // Rows come padded to 16 bits, the layout the bitmap keeps.
      const PixelPlane plane = bitmap->Plane();
      std::memcpy(plane.first, bits, bitmap->MonoStride() * static_cast<size_t>(height));
    }
    return Handles().Add(ObjectKind::Bitmap, bitmap);
  }
  if (bitsPerPixel == 32) {
    auto bitmap = BitmapObject::CreateColour(width, height);
    if (!bitmap) return 0;
    if (bits) {
      auto surface = bitmap->ColourSurface();
      const auto* src = static_cast<const uint8_t*>(bits);
      for (int32_t y = 0; y < height; ++y) {
        uint32_t* row = surface->Row32(y);
        std::memcpy(row, src + static_cast<size_t>(y) * width * 4, static_cast<size_t>(width) * 4);
        for (int32_t x = 0; x < width; ++x) row[x] &= 0x00FFFFFFu;
      }
    }
    return Handles().Add(ObjectKind::Bitmap, bitmap);
  }
  return 0;
}

}  // namespace platform
