#include "runtime/picture/drawing/picture_scaling.h"

#include <cstdint>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/raster/stretch.h"

namespace runtime::picture::drawing {

platform::HBITMAP RenderColourRows(const Picture& picture, const platform::RECT& place, const platform::RECT& part,
                                   int stretchMode) {
  const auto kind = static_cast<PictureKind>(picture.kind);
  if ((kind != PictureKind::Jpeg && kind != PictureKind::Bmp) || !picture.pixels) return 0;
  if (picture.width <= 0 || picture.height <= 0 || place.IsEmpty() || part.IsEmpty()) return 0;
  // Rows bottom-up, three bytes a pixel, no padding.
  const uint64_t rowBytes = uint64_t{static_cast<uint32_t>(picture.width)} * 3;
  if (rowBytes * static_cast<uint32_t>(picture.height) > static_cast<uint32_t>(picture.pixelByteCount)) return 0;
  if (place.Width() > platform::gdi::kMaxStretchExtent || place.Height() > platform::gdi::kMaxStretchExtent) return 0;

  const auto bgrRow = [&](int32_t y) -> const uint8_t* {
    return picture.pixels + static_cast<size_t>(picture.height - 1 - y) * rowBytes;
  };
  const platform::gdi::StretchAxis ax{place.left, place.Width(), picture.width, false};
  const platform::gdi::StretchAxis ay{place.top, place.Height(), picture.height, false};
  std::vector<uint32_t> shown;
  if (stretchMode == platform::HALFTONE) {
    platform::gdi::StretchAreaAverageBgr(ax, ay, part.left, part.top, part.Width(), part.Height(), bgrRow, shown);
  } else {
    std::vector<uint32_t> row(static_cast<size_t>(picture.width));
    const platform::gdi::SourceRowFn sourceRow = [&](int32_t y) -> const uint32_t* {
      const uint8_t* p = bgrRow(y);
      for (uint32_t& pixel : row) {
        pixel = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
        p += 3;
      }
      return row.data();
    };
    platform::gdi::StretchNearest(ax, ay, part.left, part.top, part.Width(), part.Height(), sourceRow, shown);
  }
  return platform::CreateBitmap(part.Width(), part.Height(), 1, 32, shown.data());
}

}  // namespace runtime::picture::drawing
