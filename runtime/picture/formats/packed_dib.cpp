#include "runtime/picture/formats/packed_dib.h"

#include <algorithm>

#include "runtime/picture/little_endian.h"

namespace runtime::picture::formats {

std::optional<PackedDib8> MakePackedDib8(uint32_t width, uint32_t height, const DibHeaderFields& fields,
                                         const DecodeLimits& limits) {
  const auto layout = PictureBlock(width, height, 8, 4, kDibPixelsOffset, limits);
  if (!layout) return std::nullopt;
  const auto stride = layout->rowBytes;
  const auto total = layout->blockBytes;
  PackedDib8 dib;
  dib.block = PixelBlock::Zeroed(total);
  if (dib.block.empty()) return std::nullopt;
  dib.width = width;
  dib.height = height;
  dib.stride = static_cast<size_t>(stride);
  uint8_t* h = dib.block.data();
  PutU32(h + 0, kDibHeaderBytes);
  PutU32(h + 4, width);
  PutU32(h + 8, static_cast<uint32_t>(-static_cast<int64_t>(height)));  // negative: rows top-down
  PutU16(h + 12, fields.planes);
  PutU16(h + 14, 8);
  PutU32(h + 32, fields.colorsUsed);
  PutU32(h + 36, fields.colorsUsed);
  return dib;
}

void SetPaletteFromRgb(PackedDib8& dib, const uint8_t* rgb, size_t count) {
  uint8_t* entry = dib.Palette();
  for (size_t i = 0; i < std::min<size_t>(count, 256); ++i, entry += 4, rgb += 3) {
    entry[0] = rgb[2];
    entry[1] = rgb[1];
    entry[2] = rgb[0];
    entry[3] = 0;
  }
}

}  // namespace runtime::picture::formats
