// Hand-made GIF files for the tests: LZW codes packed by hand and a builder
// of blocks with 2-bit colour indices.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "test_support.h"

namespace picture_test {

// Codes with the widths given, packed least significant bit first.
using Codes = std::vector<std::pair<uint32_t, int>>;
inline Bytes PackCodes(const Codes& codes) {
  Bytes out;
  uint64_t buffer = 0;
  int held = 0;
  for (auto [code, width] : codes) {
    buffer |= uint64_t{code} << held;
    held += width;
    for (; held >= 8; held -= 8, buffer >>= 8) out.push_back(static_cast<uint8_t>(buffer));
  }
  if (held > 0) out.push_back(static_cast<uint8_t>(buffer));
  return out;
}

// A GIF built by hand: logical screen, optional global table, then blocks.
struct GifBuilder {
  ByteWriter w;
  GifBuilder(uint16_t width, uint16_t height, const Bytes& globalTable) {
    w.Text("GIF89a").U16(width).U16(height);
    if (globalTable.empty()) {
      w.U8(0).U8(0).U8(0);
    } else {
      int bits = 0;
      while ((2u << bits) * 3 < globalTable.size()) ++bits;
      w.U8(0x80 | bits).U8(0).U8(0).Raw(globalTable);
    }
  }
  GifBuilder& Control(uint8_t packed, uint16_t delay, uint8_t transparent) {
    w.U8('!').U8(0xF9).U8(4).U8(packed).U16(delay).U8(transparent).U8(0);
    return *this;
  }
  // Image of 2-bit indices sent as clear + root + root groups (3-bit codes).
  // Placed at (left, top) of the logical screen.
  GifBuilder& Image(uint16_t width, uint16_t height, const Bytes& indices, uint8_t packed = 0,
                    const Bytes& localTable = {}, uint16_t left = 7, uint16_t top = 9) {
    w.U8(',').U16(left).U16(top).U16(width).U16(height).U8(packed).Raw(localTable).U8(2);
    Codes codes;
    for (size_t i = 0; i < indices.size(); ++i) {
      if (i % 2 == 0) codes.push_back({4, 3});
      codes.push_back({indices[i], 3});
    }
    codes.push_back({5, 3});
    const Bytes data = PackCodes(codes);
    for (size_t at = 0; at < data.size(); at += 255) {
      const size_t n = std::min<size_t>(255, data.size() - at);
      w.U8(static_cast<uint32_t>(n)).Raw(Bytes(data.begin() + at, data.begin() + at + n));
    }
    w.U8(0);
    return *this;
  }
  GifBuilder& Raw(const Bytes& b) {
    w.Raw(b);
    return *this;
  }
  Bytes Done() {
    w.U8(';');
    return w.bytes;
  }
};

}  // namespace picture_test
