// What a picture may cost before its pixels are allocated: the pixel budget
// by source size, and a PNG's stream inflated against the rows it declares.
#include <zlib.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/picture/formats/png_stream.h"
#include "runtime/picture/size_gate.h"

namespace {

using runtime::picture::DecodeLimits;
using runtime::picture::WithinBudget;
using runtime::picture::formats::PngInflatesWithinItsRows;
using Bytes = std::vector<uint8_t>;

TEST(PictureBudget, LargePicturesNeedSourceBytesInProportion) {
  const uint64_t free = uint64_t{64} << 20;  // pixels any file may declare
  struct Case {
    uint64_t width, height, sourceBytes;
    bool within;
  } cases[] = {
      {8192, 8192, 1, true},                        // the free budget, whatever the size
      {8193, 8192, 1 << 20, false},                 // just past it with a megabyte
      {8193, 8192, (8193 * 8192 + 31) / 32, true},  // one byte per 32 pixels
      {16384, 16384, (free * 4) / 32 - 1, false},   // a compressed bomb's screen
      {16384, 16384, (free * 4) / 32, true},
      {20000, 10000, 30u << 20, true},                            // a 200-megapixel photograph of 30 MB
      {uint64_t{1} << 32, uint64_t{1} << 32, UINT64_MAX, false},  // no side so large
      {0, 0, 0, true},                                            // empty: other checks refuse it
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WithinBudget(c.width, c.height, DecodeLimits{}.ForSource(c.sourceBytes)), c.within)
        << c.width << " x " << c.height << " from " << c.sourceBytes << " bytes";
  }
  EXPECT_TRUE(WithinBudget(30000, 30000, DecodeLimits{})) << "no source size known: only the size gate";
}

void BigEndian(Bytes& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(Bytes& png, const char* type, const Bytes& data, uint32_t declared) {
  BigEndian(png, declared);
  Bytes body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  png.insert(png.end(), body.begin(), body.end());
  BigEndian(png, static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

// An 8-bit grey PNG of width x height whose stream inflates to `inflated`
// bytes, split over IDAT chunks of `chunk` compressed bytes.
Bytes Png(uint32_t width, uint32_t height, uint8_t interlace, uint64_t inflated, size_t chunk = 8192) {
  Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  Bytes header;
  BigEndian(header, width);
  BigEndian(header, height);
  header.insert(header.end(), {8, 0, 0, 0, interlace});
  Chunk(png, "IHDR", header, 13);
  const Bytes raw(inflated, 0);
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  Bytes stream(size);
  compress2(stream.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9);
  stream.resize(size);
  for (size_t at = 0; at < stream.size(); at += chunk) {
    const size_t n = std::min(chunk, stream.size() - at);
    Chunk(png, "IDAT",
          Bytes(stream.begin() + static_cast<ptrdiff_t>(at), stream.begin() + static_cast<ptrdiff_t>(at + n)),
          static_cast<uint32_t>(n));
  }
  Chunk(png, "IEND", {}, 0);
  return png;
}

TEST(PngStream, ImageDataMayNotInflatePastItsRows) {
  // 100 x 50 grey: 50 rows of a filter byte and 100 samples; interlaced, the
  // seven passes' rows come to 5095 bytes.
  const uint64_t rows = 50 * 101, passes = 5095;
  struct Case {
    const char* what;
    Bytes file;
    bool accepted;
  } cases[] = {
      {"exactly its rows", Png(100, 50, 0, rows), true},
      {"its rows in small chunks", Png(100, 50, 0, rows, 7), true},
      {"fewer rows: decoding decides", Png(100, 50, 0, rows / 2), true},
      {"rows and an encoder's padding", Png(100, 50, 0, rows + 1000), true},
      {"a megabyte past its rows", Png(100, 50, 0, rows + (1 << 20)), false},
      {"interlaced, its passes", Png(100, 50, 1, passes), true},
      {"interlaced, far past", Png(100, 50, 1, passes + (1 << 20)), false},
      {"a 16384-square declaration of a few rows", Png(16384, 16384, 0, 3 * 16385), true},
      {"empty", {}, false},
      {"not a PNG", Bytes(64, 'x'), false},
  };
  for (const Case& c : cases) EXPECT_EQ(PngInflatesWithinItsRows(c.file), c.accepted) << c.what;

  // Damage to the walk: a chunk whose length passes the file's end, image
  // data before any header, a header too short.
  Bytes past = Png(100, 50, 0, rows);
  past[33] = 0x7F;  // the first IDAT's length
  EXPECT_FALSE(PngInflatesWithinItsRows(past));
  Bytes headless = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  Chunk(headless, "IDAT", Bytes(40, 0), 40);
  Chunk(headless, "IEND", {}, 0);
  EXPECT_FALSE(PngInflatesWithinItsRows(headless));
  Bytes shortHeader = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  Chunk(shortHeader, "IHDR", Bytes(5, 1), 5);
  Chunk(shortHeader, "IEND", Bytes(20, 0), 20);
  EXPECT_FALSE(PngInflatesWithinItsRows(shortHeader));
}

}  // namespace
