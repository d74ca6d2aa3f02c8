// The library's in-memory image: what every reader fills and the JPEG writer
// consumes. Rows run top to bottom without padding; pixels live in a
// PixelStore.
//
// Pixel layouts by depth:
//   32: alpha, red, green, blue          24: red, green, blue
//   16: little-endian word, red in bits 15-11, green 10-6, blue 5-1, bit 0 zero
//    8: palette index when the palette size is non-zero, else a grey level
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "runtime/imageconv/pixel_store.h"

namespace runtime::imageconv {

// Bytes per palette entry: red, green, blue, a spare byte, four unused bytes.
inline constexpr size_t kPaletteEntryBytes = 8;
// An 8-bit index cannot address more entries than this.
inline constexpr int32_t kMaxPaletteEntries = 256;

// Grey level of a colour; the weights add up to 1024.
constexpr uint8_t GreyOf(uint32_t red, uint32_t green, uint32_t blue) {
  return static_cast<uint8_t>((306 * red + 601 * green + 117 * blue) >> 10);
}

class ImageBuffer {
 public:
  ImageBuffer() = default;
  ImageBuffer(const ImageBuffer&) = delete;
  ImageBuffer& operator=(const ImageBuffer&) = delete;
  ~ImageBuffer() { Clear(); }

  // Clears, then makes a zero-filled width × height image of 8, 16, 24 or 32
  // bits. A positive palette size gives an 8-bit image a zeroed palette of
  // that many entries (at most 256); other depths ignore it and keep 0.
  bool Create(int32_t width, int32_t height, int32_t depth, int32_t paletteSize);
  // Releases the store, deletes its file and forgets everything.
  bool Clear();
  // Becomes a copy of `source`'s pixels (not its palette entries).
  bool Copy(const ImageBuffer& source);
  // Makes `target` this image at `depth` without a palette.
  bool ConvertTo(ImageBuffer& target, int32_t depth) const;
  // Writes the pixel block to its file.
  bool Flush() const;

  bool HoldsImage() const { return depth_ != 0; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t Depth() const { return depth_; }
  int32_t PaletteSize() const { return paletteSize_; }
  size_t BytesPerPixel() const { return static_cast<size_t>(depth_ / 8); }
  size_t Stride() const { return static_cast<size_t>(width_) * BytesPerPixel(); }
  uint8_t* Pixels() const { return pixels_; }
  uint8_t* Row(int32_t y) const { return pixels_ + static_cast<size_t>(y) * Stride(); }
  // paletteSize × kPaletteEntryBytes bytes, or null without a palette.
  uint8_t* Palette() const { return paletteSize_ > 0 ? palette_.get() : nullptr; }
  // The pixel store's file name; empty, as the buffer's store has none.
  const std::string& StoreFileName() const { return store_.FileName(); }

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t depth_ = 0;
  uint8_t* pixels_ = nullptr;
  int32_t paletteSize_ = 0;
  PixelStore store_;
  std::unique_ptr<uint8_t[]> palette_;
};

}  // namespace runtime::imageconv
