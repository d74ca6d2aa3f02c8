#include "runtime/imageconv/image_buffer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

#include "runtime/imageconv/image_size.h"

namespace runtime::imageconv {
namespace {

bool IsDepth(int32_t depth) { return depth == 8 || depth == 16 || depth == 24 || depth == 32; }

// One row of any depth as red, green, blue triples.
class RowDecoder {
 public:
  explicit RowDecoder(const ImageBuffer& image) : image_(image) {
    if (image.Depth() == 8 && image.PaletteSize() > 0) {
      // Entries past the palette stay black, so no index can reach outside it.
      const uint8_t* palette = image.Palette();
      const int32_t entries = std::min(image.PaletteSize(), kMaxPaletteEntries);
      for (int32_t i = 0; i < entries; ++i) {
        const uint8_t* entry = palette + static_cast<size_t>(i) * kPaletteEntryBytes;
        lookup_[i] = {entry[0], entry[1], entry[2]};
      }
    } else {
      for (int32_t i = 0; i < 256; ++i) {
        const auto v = static_cast<uint8_t>(i);
        lookup_[i] = {v, v, v};
      }
    }
  }

  void Decode(int32_t y, uint8_t* rgb) const {
    const uint8_t* in = image_.Row(y);
    const int32_t width = image_.Width();
    switch (image_.Depth()) {
      case 8:
        for (int32_t x = 0; x < width; ++x, rgb += 3) std::memcpy(rgb, lookup_[in[x]].data(), 3);
        break;
      case 16:
        for (int32_t x = 0; x < width; ++x, in += 2, rgb += 3) {
          const uint32_t word = in[0] | (uint32_t{in[1]} << 8);
          rgb[0] = static_cast<uint8_t>(((word >> 11) & 0x1F) << 3);
          rgb[1] = static_cast<uint8_t>(((word >> 6) & 0x1F) << 3);
          rgb[2] = static_cast<uint8_t>(((word >> 1) & 0x1F) << 3);
        }
        break;
      case 24: std::memcpy(rgb, in, static_cast<size_t>(width) * 3); break;
      case 32:
        for (int32_t x = 0; x < width; ++x, in += 4, rgb += 3) std::memcpy(rgb, in + 1, 3);
        break;
    }
  }

 private:
  const ImageBuffer& image_;
  std::array<std::array<uint8_t, 3>, 256> lookup_{};
};

void EncodeRow(const uint8_t* rgb, int32_t width, int32_t depth, uint8_t* out) {
  switch (depth) {
    case 8:
      for (int32_t x = 0; x < width; ++x, rgb += 3) out[x] = GreyOf(rgb[0], rgb[1], rgb[2]);
      break;
    case 16:
      for (int32_t x = 0; x < width; ++x, rgb += 3, out += 2) {
        const uint32_t word =
            ((uint32_t{rgb[0]} >> 3) << 11) | ((uint32_t{rgb[1]} >> 3) << 6) | ((uint32_t{rgb[2]} >> 3) << 1);
        out[0] = static_cast<uint8_t>(word);
        out[1] = static_cast<uint8_t>(word >> 8);
      }
      break;
    case 24: std::memcpy(out, rgb, static_cast<size_t>(width) * 3); break;
    case 32:
      for (int32_t x = 0; x < width; ++x, rgb += 3, out += 4) {
        out[0] = 255;
        std::memcpy(out + 1, rgb, 3);
      }
      break;
  }
}

}  // namespace

bool ImageBuffer::Create(int32_t width, int32_t height, int32_t depth, int32_t paletteSize) {
  Clear();
  if (!IsDepth(depth) || (depth == 8 && (paletteSize < 0 || paletteSize > kMaxPaletteEntries))) return false;
  auto bytes = CheckedImageBytes(width, height, depth / 8);
  if (!bytes) return false;
  const int32_t entries = depth == 8 ? paletteSize : 0;
  if (entries > 0) {
    // Always a full table: indices past the palette then read black.
    palette_.reset(new (std::nothrow) uint8_t[kMaxPaletteEntries * kPaletteEntryBytes]());
    if (!palette_) return false;
  }
  if (!store_.Allocate(*bytes, kStorePrefix)) {
    palette_.reset();
    return false;
  }
  width_ = width;
  height_ = height;
  depth_ = depth;
  paletteSize_ = entries;
  pixels_ = store_.Data();
  return true;
}

bool ImageBuffer::Clear() {
  store_.Release(true);
  palette_.reset();
  width_ = height_ = depth_ = paletteSize_ = 0;
  pixels_ = nullptr;
  return true;
}

bool ImageBuffer::Copy(const ImageBuffer& source) {
  if (&source == this) return HoldsImage();
  if (!source.HoldsImage() || !Create(source.width_, source.height_, source.depth_, source.paletteSize_)) {
    Clear();
    return false;
  }
  std::memcpy(pixels_, source.pixels_, Stride() * static_cast<size_t>(height_));
  Flush();
  return true;
}

bool ImageBuffer::ConvertTo(ImageBuffer& target, int32_t depth) const {
  if (&target == this || !HoldsImage() || !IsDepth(depth_)) return false;
  if (depth == depth_ && paletteSize_ == 0) return target.Copy(*this);
  if (!target.Create(width_, height_, depth, 0)) return false;
  RowDecoder decoder(*this);
  std::vector<uint8_t> rgb;
  try {
    rgb.resize(static_cast<size_t>(width_) * 3);
  } catch (const std::bad_alloc&) {
    target.Clear();
    return false;
  }
  for (int32_t y = 0; y < height_; ++y) {
    decoder.Decode(y, rgb.data());
    EncodeRow(rgb.data(), width_, depth, target.Row(y));
  }
  target.Flush();
  return true;
}

bool ImageBuffer::Flush() const { return HoldsImage() && store_.Flush(); }

}  // namespace runtime::imageconv
