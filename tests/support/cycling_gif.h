// An animated GIF whose frames each fill the whole screen with one colour
// of a four-colour table, cycling through them: every frame differs from
// the one before, so a change on screen can be counted.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

namespace test_support {

// `colours` are 0xRRGGBB; `delay` in hundredths of a second.
inline std::string CyclingGif(uint16_t width, uint16_t height, const uint32_t (&colours)[4], uint16_t delay) {
  std::string out = "GIF89a";
  auto u8 = [&](unsigned v) { out += static_cast<char>(v & 0xFF); };
  auto u16 = [&](unsigned v) { u8(v), u8(v >> 8); };
  u16(width), u16(height);
  u8(0x81), u8(0), u8(0);  // a global table of 4 entries, background 0, no aspect
  for (uint32_t c : colours) u8(c >> 16), u8(c >> 8), u8(c);
  for (unsigned index = 0; index < 4; ++index) {
    u8('!'), u8(0xF9), u8(4), u8(0), u16(delay), u8(0), u8(0);  // graphic control: no disposal, no transparency
    u8(','), u16(0), u16(0), u16(width), u16(height), u8(0);    // the whole screen, no local table
    u8(2);                                                      // minimum code size
    // 3-bit codes: a clear (4) before every second pixel keeps the width at
    // 3, then the end code (5); packed least significant bit first.
    std::string data;
    uint32_t buffer = 0;
    int held = 0;
    auto code = [&](uint32_t c) {
      buffer |= c << held;
      for (held += 3; held >= 8; held -= 8, buffer >>= 8) data += static_cast<char>(buffer & 0xFF);
    };
    for (uint32_t i = 0; i < uint32_t{width} * height; ++i) {
      if (i % 2 == 0) code(4);
      code(index);
    }
    code(5);
    if (held > 0) data += static_cast<char>(buffer & 0xFF);
    for (size_t at = 0; at < data.size(); at += 255) {
      const size_t n = std::min<size_t>(255, data.size() - at);
      u8(static_cast<unsigned>(n));
      out += data.substr(at, n);
    }
    u8(0);
  }
  u8(';');
  return out;
}

}  // namespace test_support
