#include "platform/gdi/dib_format.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/raster/checked_size.h"

namespace platform::gdi {

size_t ColourTableBytes(const BITMAPINFOHEADER& header) {
  // Deeper DIBs may carry an optional table of biClrUsed entries before their pixels.
  if (header.biBitCount > 8) return static_cast<size_t>(std::min<uint32_t>(header.biClrUsed, 256)) * 4;
  const uint32_t full = 1u << header.biBitCount;
  const uint32_t used = header.biClrUsed == 0 ? full : std::min<uint32_t>(header.biClrUsed, full);
  return static_cast<size_t>(used) * 4;
}

std::optional<DibFormat> ReadDibFormat(const BITMAPINFOHEADER& header, std::span<const uint8_t> table) {
  if (header.biSize < sizeof(BITMAPINFOHEADER)) return std::nullopt;
  if (header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN) return std::nullopt;
  if (header.biPlanes != 1 || header.biCompression != BI_RGB) return std::nullopt;
  const int bits = header.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;
  // A table longer than the depth can index leaves the pixels' position in doubt.
  if (header.biClrUsed > (bits <= 8 ? (1u << bits) : 256u)) return std::nullopt;
  DibFormat f;
  f.width = header.biWidth;
  f.topDown = header.biHeight < 0;
  f.height = f.topDown ? -header.biHeight : header.biHeight;
  f.bits = bits;
  const auto stride = RowBytes(f.width, bits, 4);
  if (!stride) return std::nullopt;
  const auto image = ImageBytes(static_cast<int64_t>(*stride), f.height);
  if (!image) return std::nullopt;
  f.stride = *stride;
  f.imageBytes = *image;
  const size_t bytes = ColourTableBytes(header);
  if (table.size() < bytes) return std::nullopt;
  if (bits <= 8) {
    f.palette.resize(bytes / 4);
    for (size_t i = 0; i < f.palette.size(); ++i) {
      const uint8_t* q = table.data() + i * 4;  // blue, green, red, reserved
      f.palette[i] = uint32_t{q[0]} | uint32_t{q[1]} << 8 | uint32_t{q[2]} << 16;
    }
  }
  return f;
}

void ReadDibRow(const DibFormat& f, const uint8_t* row, uint32_t* out, bool alpha) {
  auto look = [&](uint32_t index) { return index < f.palette.size() ? f.palette[index] : 0u; };
  switch (f.bits) {
    case 1:
      for (int32_t x = 0; x < f.width; ++x) out[x] = look(row[x >> 3] >> (7 - (x & 7)) & 1u);
      break;
    case 4:
      for (int32_t x = 0; x < f.width; ++x) out[x] = look((x & 1) ? row[x >> 1] & 0x0Fu : row[x >> 1] >> 4);
      break;
    case 8:
      for (int32_t x = 0; x < f.width; ++x) out[x] = look(row[x]);
      break;
    case 24:
      for (int32_t x = 0; x < f.width; ++x) {
        const uint8_t* p = row + static_cast<size_t>(x) * 3;
        out[x] = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
      }
      break;
    case 32:
      std::memcpy(out, row, static_cast<size_t>(f.width) * 4);
      if (!alpha)
        for (int32_t x = 0; x < f.width; ++x) out[x] &= 0x00FFFFFFu;
      break;
    default: std::fill_n(out, f.width, 0u);
  }
}

void WriteDibRow(int bits, const uint32_t* pixels, int32_t width, uint8_t* row) {
  switch (bits) {
    case 1:
      std::memset(row, 0, (static_cast<size_t>(width) + 7) / 8);
      for (int32_t x = 0; x < width; ++x)
        if ((pixels[x] & 0x00FFFFFFu) == 0x00FFFFFFu) row[x >> 3] |= static_cast<uint8_t>(0x80u >> (x & 7));
      break;
    case 24:
      for (int32_t x = 0; x < width; ++x) {
        uint8_t* p = row + static_cast<size_t>(x) * 3;
        p[0] = static_cast<uint8_t>(pixels[x]);
        p[1] = static_cast<uint8_t>(pixels[x] >> 8);
        p[2] = static_cast<uint8_t>(pixels[x] >> 16);
      }
      break;
    case 32:
      for (int32_t x = 0; x < width; ++x) {
        const uint32_t v = pixels[x] & 0x00FFFFFFu;
        std::memcpy(row + static_cast<size_t>(x) * 4, &v, 4);
      }
      break;
    default: break;
  }
}

}  // namespace platform::gdi
