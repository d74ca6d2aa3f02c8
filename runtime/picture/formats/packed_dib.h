// The 8-bit packed DIBs of GIF and 8-bit PCX pictures: a 40-byte
// BITMAPINFOHEADER, a 256-entry RGBQUAD palette, then top-down rows padded to
// a multiple of 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "runtime/picture/pixel_block.h"
#include "runtime/picture/size_gate.h"

namespace runtime::picture::formats {

inline constexpr size_t kDibHeaderBytes = 40;
inline constexpr size_t kDibPaletteBytes = 256 * 4;
inline constexpr size_t kDibPixelsOffset = kDibHeaderBytes + kDibPaletteBytes;

struct PackedDib8 {
  PixelBlock block;
  uint32_t width = 0;
  uint32_t height = 0;
  size_t stride = 0;

  uint8_t* Palette() const { return block.data() + kDibHeaderBytes; }
  uint8_t* Row(size_t y) const { return block.data() + kDibPixelsOffset + y * stride; }
};

struct DibHeaderFields {
  uint16_t planes = 1;
  uint32_t colorsUsed = 0;  // biClrUsed and biClrImportant
};

// Allocates a zeroed DIB (all palette entries black, all pixels index 0) and
// writes its header; empty when the size fails the gate or memory runs out.
std::optional<PackedDib8> MakePackedDib8(uint32_t width, uint32_t height, const DibHeaderFields& fields,
                                         const DecodeLimits& limits);

// Stores `count` red-green-blue triples as blue, green, red, 0 entries.
void SetPaletteFromRgb(PackedDib8& dib, const uint8_t* rgb, size_t count);

}  // namespace runtime::picture::formats
