// Uncompressed BMP pictures with 1, 4, 8, 24 or 32 bits per pixel, turned into
// bottom-up blue-green-red rows.
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/picture/formats/decoders.h"
#include "runtime/picture/little_endian.h"
#include "runtime/picture/pixel_block.h"

namespace runtime::picture::formats {

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;

struct BmpHeader {
  uint32_t pixelOffset = 0;
  uint32_t infoSize = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  bool topDown = false;
  uint32_t bits = 0;
  uint32_t paletteEntries = 0;
};

std::optional<uint32_t> Magnitude(int32_t v) {
  // Zero has no rows; INT32_MIN has no positive counterpart.
  if (v == 0 || v == INT32_MIN) return std::nullopt;
  return static_cast<uint32_t>(v < 0 ? -v : v);
}

std::optional<BmpHeader> ReadHeader(const uint8_t* h) {
  BmpHeader header;
  if (h[0] != 'B' || h[1] != 'M') return std::nullopt;
  header.pixelOffset = U32At(h + 10);
  header.infoSize = U32At(h + 14);
  // Later header versions add fields after the first 40 bytes; the older,
  // shorter core header has a different layout altogether.
  if (header.infoSize < kInfoHeaderBytes) return std::nullopt;
  const auto width = Magnitude(I32At(h + 18));
  const int32_t signedHeight = I32At(h + 22);
  const auto height = Magnitude(signedHeight);
  if (!width || !height) return std::nullopt;
  header.width = *width;
  header.height = *height;
  header.topDown = signedHeight < 0;
  header.bits = U16At(h + 28);
  if (U32At(h + 30) != 0) return std::nullopt;  // compressed
  switch (header.bits) {
    case 1:
    case 4:
    case 8: {
      const uint32_t full = 1u << header.bits;
      const uint32_t used = U32At(h + 46);
      header.paletteEntries = (used == 0 || used > full) ? full : used;
      break;
    }
    case 24:
    case 32: break;
    default: return std::nullopt;
  }
  return header;
}

void IndexedRowToBgr(const uint8_t* in, uint8_t* out, size_t width, uint32_t bits,
                     const std::array<uint8_t, 256 * 4>& palette) {
  const uint32_t perByte = 8 / bits;
  const uint32_t mask = (1u << bits) - 1;
  for (size_t x = 0; x < width; ++x, out += 3) {
    const uint32_t shift = 8 - bits * (1 + static_cast<uint32_t>(x % perByte));
    const uint8_t* entry = &palette[((in[x / perByte] >> shift) & mask) * 4];
    out[0] = entry[0];
    out[1] = entry[1];
    out[2] = entry[2];
  }
}

void DirectRowToBgr(const uint8_t* in, uint8_t* out, size_t width, size_t step) {
  for (size_t x = 0; x < width; ++x, in += step, out += 3) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
  }
}

}  // namespace

PicturePtr DecodeBmp(ByteSource& source, const DecodeLimits& limits) {
  uint8_t h[kFileHeaderBytes + kInfoHeaderBytes];
  if (!source.ReadExact(h, sizeof h)) return nullptr;
  const auto header = ReadHeader(h);
  if (!header) return nullptr;
  if (!source.Skip(header->infoSize - kInfoHeaderBytes)) return nullptr;

  // Entries the file does not supply and indices beyond its table stay black.
  std::array<uint8_t, 256 * 4> palette{};
  if (!source.ReadExact(palette.data(), header->paletteEntries * 4)) return nullptr;

  const uint64_t readSoFar = source.Position();
  if (header->pixelOffset < readSoFar || header->pixelOffset > source.Size()) return nullptr;
  if (!source.Skip(header->pixelOffset - readSoFar)) return nullptr;

  const auto storedRow = RowBytes(header->width, header->bits, 4, limits);
  const auto layout = PictureBlock(header->width, header->height, 24, 1, 0, limits);
  if (!storedRow || !layout) return nullptr;
  const auto outRow = layout->rowBytes;
  const auto blockBytes = layout->blockBytes;
  // Rows must all be present; checking first avoids a large allocation for a
  // file that cannot fill it.
  if (*storedRow > source.Size() || header->height > (source.Size() - source.Position()) / *storedRow) {
    return nullptr;
  }

  PixelBlock block = PixelBlock::Zeroed(blockBytes);
  if (block.empty()) return nullptr;
  std::vector<uint8_t> row(static_cast<size_t>(*storedRow));
  for (uint32_t i = 0; i < header->height; ++i) {
    if (!source.ReadExact(row.data(), row.size())) return nullptr;
    // Output rows run bottom-up; bottom-up files store the bottom row first.
    const uint32_t target = header->topDown ? header->height - 1 - i : i;
    uint8_t* out = block.data() + static_cast<size_t>(target) * outRow;
    if (header->bits <= 8) {
      IndexedRowToBgr(row.data(), out, header->width, header->bits, palette);
    } else {
      DirectRowToBgr(row.data(), out, header->width, header->bits / 8);
    }
  }
  return MakePicture(PictureKind::Bmp, static_cast<int32_t>(header->width), static_cast<int32_t>(header->height),
                     std::move(block));
}

}  // namespace runtime::picture::formats
