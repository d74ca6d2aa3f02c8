// CMYK pixels (as JPEG files hold them) turned into the light they let
// through, so that every decoder shows the same colours for the same file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace runtime::jpeg {

enum class ChannelOrder { Rgb, Bgr };

// Turns `width` pixels of four bytes (cyan, magenta, yellow, black) into
// three bytes each in `order`. Plain CMYK holds ink amounts (0 = no ink);
// `inverted` data (files with the Adobe marker) hold 255 for no ink.
inline void CmykRowToColour(const uint8_t* cmyk, uint8_t* out, size_t width, bool inverted, ChannelOrder order) {
  const unsigned flip = inverted ? 0 : 255;
  const size_t redAt = order == ChannelOrder::Rgb ? 0 : 2;
  const size_t blueAt = 2 - redAt;
  for (size_t x = 0; x < width; ++x, cmyk += 4, out += 3) {
    // Each value now says how much light passes: 255 = all of it.
    const unsigned c = cmyk[0] ^ flip, m = cmyk[1] ^ flip, y = cmyk[2] ^ flip, k = cmyk[3] ^ flip;
    out[redAt] = static_cast<uint8_t>((c * k + 127) / 255);
    out[1] = static_cast<uint8_t>((m * k + 127) / 255);
    out[blueAt] = static_cast<uint8_t>((y * k + 127) / 255);
  }
}

}  // namespace runtime::jpeg
