// PCX pictures: 8-bit single-plane images as packed DIBs, 1-bit single-plane
// images as monochrome rows.
#include <algorithm>
#include <cstring>

#include "runtime/picture/formats/decoders.h"
#include "runtime/picture/formats/packed_dib.h"
#include "runtime/picture/little_endian.h"

namespace runtime::picture::formats {

namespace {

constexpr size_t kHeaderBytes = 128;
constexpr size_t kPaletteBytes = 768;

struct PcxHeader {
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t bits = 0;
  uint8_t planes = 0;
  uint32_t bytesPerLine = 0;
};

std::optional<PcxHeader> ReadHeader(std::span<const uint8_t> file) {
  if (file.size() <= kHeaderBytes) return std::nullopt;
  const uint8_t* h = file.data();
  if (h[0] != 0x0A || h[2] != 1 || static_cast<int8_t>(h[1]) > 5) return std::nullopt;
  const int32_t xMin = I16At(h + 4), yMin = I16At(h + 6), xMax = I16At(h + 8), yMax = I16At(h + 10);
  if (xMax < xMin || yMax < yMin) return std::nullopt;
  PcxHeader header;
  header.width = static_cast<uint32_t>(xMax - xMin + 1);
  header.height = static_cast<uint32_t>(yMax - yMin + 1);
  header.bits = h[3];
  header.planes = h[65];
  header.bytesPerLine = U16At(h + 66);
  return header;
}

// Run-length scan lines: 0xC1..0xFF repeats the next byte (byte - 0xC0)
// times, any other byte (0xC0 included) stands for itself.
class RunReader {
 public:
  explicit RunReader(std::span<const uint8_t> data) : data_(data) {}

  // Decodes one line of `lineBytes` bytes, keeping the first `keep` of them in
  // `out`. A run that crosses the end of the line is cut there. False when the
  // data end first.
  bool Line(size_t lineBytes, uint8_t* out, size_t keep) {
    size_t done = 0;
    while (done < lineBytes) {
      if (at_ >= data_.size()) return false;
      uint8_t byte = data_[at_++];
      size_t count = 1;
      if (byte >= 0xC1) {
        if (at_ >= data_.size()) return false;
        count = byte - 0xC0u;
        byte = data_[at_++];
      }
      count = std::min(count, lineBytes - done);
      if (done < keep) std::memset(out + done, byte, std::min(count, keep - done));
      done += count;
    }
    return true;
  }
  size_t Position() const { return at_; }

 private:
  std::span<const uint8_t> data_;
  size_t at_ = 0;
};

PicturePtr DecodeMonochrome(std::span<const uint8_t> file, const PcxHeader& header, const DecodeLimits& limits) {
  const auto layout = PictureBlock(header.width, header.height, 1, 2, 0, limits);
  if (!layout || header.bytesPerLine < (header.width + 7) / 8) return nullptr;
  const auto rowBytes = layout->rowBytes;
  const auto blockBytes = layout->blockBytes;
  PixelBlock block = PixelBlock::Zeroed(blockBytes);
  if (block.empty()) return nullptr;
  RunReader runs(file.subspan(kHeaderBytes));
  for (uint32_t y = 0; y < header.height; ++y) {
    if (!runs.Line(header.bytesPerLine, block.data() + y * rowBytes, static_cast<size_t>(rowBytes))) return nullptr;
  }
  return MakePicture(PictureKind::Pcx1, static_cast<int32_t>(header.width), static_cast<int32_t>(header.height),
                     std::move(block));
}

PicturePtr DecodeIndexed(std::span<const uint8_t> file, const PcxHeader& header, const DecodeLimits& limits) {
  // Shorter lines than the width would leave pixels undefined.
  if (header.bytesPerLine < header.width) return nullptr;
  auto dib = MakePackedDib8(header.width, header.height, DibHeaderFields{header.planes, 0}, limits);
  if (!dib) return nullptr;
  RunReader runs(file.subspan(kHeaderBytes));
  for (uint32_t y = 0; y < header.height; ++y) {
    // Bytes past the width are line padding; the row's own padding stays 0.
    if (!runs.Line(header.bytesPerLine, dib->Row(y), header.width)) return nullptr;
  }
  // Without the palette that follows the last line every entry stays black.
  const size_t after = kHeaderBytes + runs.Position();
  if (after < file.size() && file[after] == 0x0C) {
    if (file.size() - after - 1 < kPaletteBytes) return nullptr;
    SetPaletteFromRgb(*dib, &file[after + 1], 256);
  }
  return MakePicture(PictureKind::Pcx8, static_cast<int32_t>(header.width), static_cast<int32_t>(header.height),
                     std::move(dib->block));
}

}  // namespace

PicturePtr DecodePcx(ByteSource& source, const DecodeLimits& limits) {
  const auto whole = WholeBytes::From(source, limits.maxBlockBytes);
  if (!whole) return nullptr;
  const auto header = ReadHeader(whole->Bytes());
  if (!header || header->planes != 1) return nullptr;
  if (header->bits == 1) return DecodeMonochrome(whole->Bytes(), *header, limits);
  if (header->bits == 8) return DecodeIndexed(whole->Bytes(), *header, limits);
  return nullptr;
}

}  // namespace runtime::picture::formats
