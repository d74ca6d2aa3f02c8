// Reading and writing the rows of device-independent bitmaps: header checks,
// colour tables and per-depth row conversion to and from 0x00RRGGBB pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace platform::gdi {

struct DibFormat {
  int32_t width = 0;
  int32_t height = 0;  // always positive
  bool topDown = false;
  int bits = 0;       // 1, 4, 8, 24 or 32
  size_t stride = 0;  // bytes per stored row, a multiple of 4
  size_t imageBytes = 0;
  std::vector<uint32_t> palette;  // 0x00RRGGBB, bits <= 8 only

  // Image row (0 = top) of stored row `stored`, and back.
  int32_t StoredRowOf(int32_t imageRow) const { return topDown ? imageRow : height - 1 - imageRow; }
};

// Checks a header and reads the colour table that follows it. `table` holds
// the bytes after the header that the caller can vouch for (what remains of
// a buffer); a table that does not fit is an error. Null when the header is
// unusable: width not positive, height 0, planes not 1, unsupported depth or
// compression, or a size past the pixel gate.
std::optional<DibFormat> ReadDibFormat(const BITMAPINFOHEADER& header, std::span<const uint8_t> table);

// Bytes the colour table of this header takes.
size_t ColourTableBytes(const BITMAPINFOHEADER& header);

// One stored row into `width` pixels 0x00RRGGBB. With `alpha` the fourth
// byte of 32-bit rows is kept in the top byte; otherwise it is cleared.
// Indices past the colour table read as black.
void ReadDibRow(const DibFormat& format, const uint8_t* row, uint32_t* out, bool alpha = false);

// `width` pixels into one stored row of 24 or 32 bits (the unused byte 0),
// or of 1 bit (pixels equal to `white` give 1; the rest 0).
void WriteDibRow(int bits, const uint32_t* pixels, int32_t width, uint8_t* row);

}  // namespace platform::gdi
