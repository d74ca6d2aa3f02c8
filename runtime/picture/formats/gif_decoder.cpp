#include "runtime/picture/formats/gif_decoder.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "runtime/picture/formats/lzw.h"
#include "runtime/picture/little_endian.h"

namespace runtime::picture::formats {

namespace {

constexpr size_t kHeaderBytes = 13;
constexpr size_t kDescriptorBytes = 9;

// Places indices row by row, or in the four interlace passes; anything past
// the last row is dropped.
class RowWriter final : public LzwSink {
 public:
  RowWriter(PackedDib8& dib, bool interlaced) : dib_(dib), interlaced_(interlaced) {}

  void Write(const uint8_t* indices, size_t count) override {
    while (count > 0 && !Full()) {
      const size_t n = std::min<size_t>(count, dib_.width - x_);
      std::memcpy(dib_.Row(row_) + x_, indices, n);
      indices += n;
      count -= n;
      x_ += n;
      if (x_ == dib_.width) NextRow();
    }
  }
  bool Full() const override { return row_ >= dib_.height; }

 private:
  void NextRow() {
    x_ = 0;
    if (!interlaced_) {
      ++row_;
      return;
    }
    static constexpr size_t kStart[4] = {0, 4, 2, 1};
    static constexpr size_t kStep[4] = {8, 8, 4, 2};
    row_ += kStep[pass_];
    // Passes that start below the bottom of a short image write nothing.
    while (row_ >= dib_.height && pass_ < 3) row_ = kStart[++pass_];
  }

  PackedDib8& dib_;
  bool interlaced_;
  size_t row_ = 0;
  size_t x_ = 0;
  int pass_ = 0;
};

}  // namespace

std::optional<GifDecoder> GifDecoder::Open(std::span<const uint8_t> file, const DecodeLimits& limits) {
  if (file.size() < kHeaderBytes + 1) return std::nullopt;
  if (std::memcmp(file.data(), "GIF87a", 6) != 0 && std::memcmp(file.data(), "GIF89a", 6) != 0) return std::nullopt;
  GifDecoder gif;
  gif.limits_ = limits.ForSource(file.size());
  gif.screenWidth_ = U16At(&file[6]);
  gif.screenHeight_ = U16At(&file[8]);
  const uint8_t packed = file[10];
  gif.backgroundIndex_ = file[11];
  size_t blocksStart = kHeaderBytes;
  if (packed & 0x80) {
    gif.globalEntries_ = size_t{2} << (packed & 7);
    blocksStart += gif.globalEntries_ * 3;
    if (blocksStart >= file.size()) return std::nullopt;
    std::memcpy(gif.globalTable_.data(), &file[kHeaderBytes], gif.globalEntries_ * 3);
  }
  gif.blocks_.assign(file.begin() + static_cast<ptrdiff_t>(blocksStart), file.end());
  return gif;
}

bool GifDecoder::SkipSubBlocks() {
  for (;;) {
    if (position_ >= blocks_.size()) return false;
    const size_t length = blocks_[position_++];
    if (length == 0) return true;
    if (length > blocks_.size() - position_) return false;
    position_ += length;
  }
}

bool GifDecoder::ReadExtension() {
  if (position_ >= blocks_.size()) return false;
  const uint8_t label = blocks_[position_++];
  switch (label) {
    case 0xF9: {
      if (position_ >= blocks_.size()) return false;
      const size_t length = blocks_[position_];
      if (length >= 4 && blocks_.size() - position_ > 4) {
        const uint8_t* b = &blocks_[position_ + 1];
        control_.disposal = b[0] & 0x1C;
        control_.transparent = (b[0] & 1) != 0;
        control_.delay = U16At(b + 1);
        control_.transparentIndex = b[3];
      }
      return SkipSubBlocks();
    }
    case 0x01:  // plain text: its 12-byte header is the first sub-block
    case 0xFE:  // comment
    case 0xFF:  // application, loop counts included
      return SkipSubBlocks();
    default: return false;
  }
}

GifStep GifDecoder::ReadImage(GifFrame& frame) {
  if (blocks_.size() - position_ < kDescriptorBytes) return GifStep::End;
  const uint8_t* d = &blocks_[position_];
  frame = GifFrame{};
  frame.left = U16At(d);
  frame.top = U16At(d + 2);
  frame.width = U16At(d + 4);
  frame.height = U16At(d + 6);
  frame.control = control_;
  const uint8_t packed = d[8];
  position_ += kDescriptorBytes;

  std::array<uint8_t, 256 * 3> table = globalTable_;
  size_t entries = globalEntries_;
  if (packed & 0x80) {
    entries = size_t{2} << (packed & 7);
    if (blocks_.size() - position_ < entries * 3) return GifStep::End;
    table = {};
    std::memcpy(table.data(), &blocks_[position_], entries * 3);
    position_ += entries * 3;
  }

  if (position_ >= blocks_.size()) return GifStep::End;
  const int minimumCodeSize = blocks_[position_++];
  // Join the sub-blocks first, so the position moves past this image whether
  // or not its codes decode.
  std::vector<uint8_t> data;
  for (;;) {
    if (position_ >= blocks_.size()) return GifStep::End;
    const size_t length = blocks_[position_++];
    if (length == 0) break;
    if (length > blocks_.size() - position_) return GifStep::End;
    data.insert(data.end(), blocks_.begin() + static_cast<ptrdiff_t>(position_),
                blocks_.begin() + static_cast<ptrdiff_t>(position_ + length));
    position_ += length;
  }

  // An image with no area holds nothing to show; the caller looks further.
  if (frame.width == 0 || frame.height == 0) return GifStep::Frame;
  auto dib = MakePackedDib8(static_cast<uint32_t>(frame.width), static_cast<uint32_t>(frame.height),
                            DibHeaderFields{1, 256}, limits_);
  if (!dib) return GifStep::BadFrame;
  // Entries beyond the file's table stay black, and so do indices past it.
  SetPaletteFromRgb(*dib, table.data(), entries);
  if (frame.control.transparent) {
    const uint8_t* rgb = &table[size_t{frame.control.transparentIndex} * 3];
    frame.transparentColour = rgb[0] | (rgb[1] << 8) | (rgb[2] << 16);
  }
  RowWriter writer(*dib, (packed & 0x40) != 0);
  auto lzw = std::make_unique<LzwDecoder>();
  if (lzw->Decode(data, minimumCodeSize, writer) != LzwResult::Done) return GifStep::BadFrame;
  frame.dib = std::move(*dib);
  return GifStep::Frame;
}

GifStep GifDecoder::NextFrame(GifFrame& frame) {
  // One wrap at most: a stream with no image in it ends instead of cycling.
  bool wrapped = false;
  for (;;) {
    if (position_ >= blocks_.size()) {
      if (wrapped) return GifStep::End;
      wrapped = true;
      position_ = 0;
      continue;
    }
    const uint8_t introducer = blocks_[position_++];
    switch (introducer) {
      case 0x00:
      case ';':
        if (wrapped) return GifStep::End;
        wrapped = true;
        position_ = 0;
        break;
      case '!':
        if (!ReadExtension()) {
          position_ = blocks_.size();
          return GifStep::End;
        }
        break;
      case ',': {
        const GifStep step = ReadImage(frame);
        if (step == GifStep::End) position_ = blocks_.size();
        if (step == GifStep::Frame && (frame.width == 0 || frame.height == 0)) break;
        return step;
      }
      default: position_ = blocks_.size(); return GifStep::End;
    }
  }
}

}  // namespace runtime::picture::formats
