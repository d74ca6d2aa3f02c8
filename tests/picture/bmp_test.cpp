#include <gtest/gtest.h>

#include "runtime/picture/formats/picture_decode.h"
#include "test_support.h"

namespace picture_test {
namespace {

struct BmpFields {
  int32_t width = 2;
  int32_t height = 2;
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  uint32_t infoSize = 40;
  std::vector<uint32_t> palette;  // 0x00RRGGBB, stored blue, green, red, 0
  Bytes rows;                     // as stored, padding included
  int64_t offsetDelta = 0;        // added to the true pixel data offset
  size_t gap = 0;                 // bytes between palette and pixel data
};

Bytes MakeBmp(const BmpFields& s) {
  const uint32_t offset = static_cast<uint32_t>(14 + s.infoSize + 4 * s.palette.size() + s.gap + s.offsetDelta);
  ByteWriter w;
  w.Text("BM").U32(0).U32(0).U32(offset);
  w.U32(s.infoSize).U32(static_cast<uint32_t>(s.width)).U32(static_cast<uint32_t>(s.height));
  w.U16(1).U16(s.bits).U32(s.compression).U32(0).U32(2835).U32(2835).U32(s.colorsUsed).U32(0);
  if (s.infoSize > 40) w.Zeros(s.infoSize - 40);
  for (uint32_t c : s.palette) w.U8(c).U8(c >> 8).U8(c >> 16).U8(0);
  w.Zeros(s.gap).Raw(s.rows);
  return w.bytes;
}

// 2 x 2, 24 bits: each stored row is 6 bytes plus 2 of padding.
BmpFields TwoByTwo(int32_t height) {
  BmpFields s;
  s.height = height;
  const Bytes first = {1, 2, 3, 4, 5, 6, 0, 0};      // bottom row when bottom-up
  const Bytes second = {7, 8, 9, 10, 11, 12, 0, 0};  // top row when bottom-up
  s.rows = first;
  s.rows.insert(s.rows.end(), second.begin(), second.end());
  return s;
}

TEST(Bmp, RowsComeOutBottomUpBlueGreenRedWithoutPadding) {
  const auto p = Decode(MakeBmp(TwoByTwo(2)));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, 2);
  EXPECT_EQ(p->width, 2);
  EXPECT_EQ(p->height, 2);
  ASSERT_EQ(p->pixelByteCount, 12);
  EXPECT_EQ(Bytes(p->pixels, p->pixels + 12), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(RgbAt(*p, 0, 0), (std::array<uint8_t, 3>{9, 8, 7}));  // top-left
}

TEST(Bmp, TopDownAndBottomUpStorageGiveTheSamePicture) {
  BmpFields topDown = TwoByTwo(-2);
  // Same image stored top row first.
  std::rotate(topDown.rows.begin(), topDown.rows.begin() + 8, topDown.rows.end());
  const auto a = Decode(MakeBmp(TwoByTwo(2)));
  const auto b = Decode(MakeBmp(topDown));
  ASSERT_TRUE(a && b);
  EXPECT_EQ(b->height, 2);
  EXPECT_EQ(Bytes(a->pixels, a->pixels + 12), Bytes(b->pixels, b->pixels + 12));
}

TEST(Bmp, ThirtyTwoBitPixelsIgnoreTheFourthByte) {
  BmpFields s;
  s.width = 1;
  s.height = 1;
  s.bits = 32;
  s.rows = {10, 20, 30, 99};
  const auto p = Decode(MakeBmp(s));
  ASSERT_TRUE(p);
  EXPECT_EQ(Bytes(p->pixels, p->pixels + 3), (Bytes{10, 20, 30}));
}

TEST(Bmp, IndexedPixelsTakeTheMostSignificantBitsFirst) {
  BmpFields one;
  one.width = 10;
  one.height = 1;
  one.bits = 1;
  one.palette = {0x000000, 0xFF8040};
  one.rows = {0b10110000, 0b01000000, 0, 0};
  auto p = Decode(MakeBmp(one));
  ASSERT_TRUE(p);
  const char* expected = "1011000001";
  for (int x = 0; x < 10; ++x) {
    const auto want = expected[x] == '1' ? std::array<uint8_t, 3>{0xFF, 0x80, 0x40} : std::array<uint8_t, 3>{0, 0, 0};
    EXPECT_EQ(RgbAt(*p, x, 0), want) << x;
  }

  BmpFields four;
  four.width = 3;
  four.height = 1;
  four.bits = 4;
  four.colorsUsed = 3;
  four.palette = {0x102030, 0x405060, 0x708090};
  four.rows = {0x12, 0x30, 0, 0};  // indices 1, 2, 3: the last is past the table
  p = Decode(MakeBmp(four));
  ASSERT_TRUE(p);
  EXPECT_EQ(RgbAt(*p, 0, 0), (std::array<uint8_t, 3>{0x40, 0x50, 0x60}));
  EXPECT_EQ(RgbAt(*p, 1, 0), (std::array<uint8_t, 3>{0x70, 0x80, 0x90}));
  EXPECT_EQ(RgbAt(*p, 2, 0), (std::array<uint8_t, 3>{0, 0, 0}));

  BmpFields eight;
  eight.width = 2;
  eight.height = 1;
  eight.bits = 8;
  eight.colorsUsed = 2;
  eight.palette = {0x0A0B0C, 0xA1B2C3};
  eight.rows = {1, 200, 0, 0};
  p = Decode(MakeBmp(eight));
  ASSERT_TRUE(p);
  EXPECT_EQ(RgbAt(*p, 0, 0), (std::array<uint8_t, 3>{0xA1, 0xB2, 0xC3}));
  EXPECT_EQ(RgbAt(*p, 1, 0), (std::array<uint8_t, 3>{0, 0, 0}));
}

TEST(Bmp, ColourCountAboveWhatTheDepthAllowsReadsOnlyTheFullTable) {
  BmpFields s;
  s.width = 1;
  s.height = 1;
  s.bits = 1;
  s.colorsUsed = 300;
  s.palette = {0x000000, 0x123456};
  s.rows = {0x80, 0, 0, 0};
  const auto p = Decode(MakeBmp(s));
  ASSERT_TRUE(p);
  EXPECT_EQ(RgbAt(*p, 0, 0), (std::array<uint8_t, 3>{0x12, 0x34, 0x56}));
}

TEST(Bmp, LongerInfoHeadersAndGapsBeforeThePixelsAreSkipped) {
  BmpFields s;
  s.width = 1;
  s.height = 1;
  s.bits = 8;
  s.infoSize = 124;  // the newest header version
  s.colorsUsed = 1;
  s.palette = {0x332211};
  s.gap = 5;
  s.rows = {0, 0, 0, 0};
  const auto p = Decode(MakeBmp(s));
  ASSERT_TRUE(p);
  EXPECT_EQ(RgbAt(*p, 0, 0), (std::array<uint8_t, 3>{0x33, 0x22, 0x11}));
}

TEST(Bmp, UnsupportedOrInconsistentFilesGiveNoPicture) {
  auto rejects = [](BmpFields s, const char* why) { EXPECT_FALSE(Decode(MakeBmp(s))) << why; };
  BmpFields s = TwoByTwo(2);
  s.bits = 16;
  rejects(s, "16 bits");
  s = TwoByTwo(2);
  s.bits = 8;
  s.compression = 1;
  s.palette = {0, 0};
  rejects(s, "run-length compressed");
  s = TwoByTwo(2);
  s.compression = 3;
  rejects(s, "bit fields");
  s = TwoByTwo(2);
  s.width = 0;
  rejects(s, "zero width");
  s = TwoByTwo(0);
  rejects(s, "zero height");
  s = TwoByTwo(INT32_MIN);
  rejects(s, "height without a magnitude");
  s = TwoByTwo(2);
  s.offsetDelta = -1;
  rejects(s, "pixel data offset inside the headers");
  s = TwoByTwo(2);
  s.offsetDelta = 1000;
  rejects(s, "pixel data offset past the end");
  s = TwoByTwo(2);
  s.rows.pop_back();
  rejects(s, "last row cut short");
  s = TwoByTwo(2);
  s.infoSize = 12;
  rejects(s, "core header");
  s = TwoByTwo(2);
  s.width = 40000;
  s.height = 40000;  // 4.8 GB of pixels from a few bytes
  rejects(s, "pixel block beyond the limit");
  s = TwoByTwo(2);
  s.width = 0x7FFFFFFF;
  s.height = 0x7FFFFFFF;
  s.bits = 32;
  rejects(s, "sizes whose product wraps");
}

// Files from independent encoders against the pixels they were given.
TEST(Bmp, FilesFromOtherEncodersDecodePixelExact) {
  const struct {
    const char* file;
    const char* pixels;
    int width, height;
  } cases[] = {
      {"pil_24.bmp", "rgb.rgb", 37, 23}, {"pil_32.bmp", "rgb.rgb", 37, 23}, {"im_24.bmp", "rgb.rgb", 37, 23},
      {"pil_8.bmp", "pal.rgb", 29, 17},  {"im_4.bmp", "p16.rgb", 13, 9},    {"pil_1.bmp", "mono.rgb", 29, 11},
      {"im_1.bmp", "mono.rgb", 29, 11},
  };
  for (const auto& c : cases) {
    const auto p = Decode(Sample(c.file));
    ASSERT_TRUE(p) << c.file;
    EXPECT_EQ(p->kind, 2) << c.file;
    EXPECT_EQ(p->width, c.width) << c.file;
    EXPECT_EQ(p->height, c.height) << c.file;
    EXPECT_EQ(ToRgb(*p), Sample(c.pixels)) << c.file;
  }
}

TEST(Bmp, RunLengthCompressedFilesFromAnotherEncoderGiveNoPicture) {
  const Bytes file = Sample("im_rle8.bmp");
  ASSERT_EQ(file[30], 1);  // compression: 8-bit runs
  EXPECT_FALSE(Decode(file));
}

TEST(Bmp, EncoderFileStoredTopDownMatchesItsBottomUpSelf) {
  const Bytes bottomUp = Sample("pil_24.bmp");
  const uint32_t offset = bottomUp[10] | bottomUp[11] << 8;
  const size_t stride = (37 * 3 + 3) / 4 * 4;
  Bytes topDown(bottomUp.begin(), bottomUp.begin() + offset);
  for (int row = 22; row >= 0; --row) {
    auto start = bottomUp.begin() + offset + row * stride;
    topDown.insert(topDown.end(), start, start + stride);
  }
  const uint32_t negative = static_cast<uint32_t>(-23);
  for (int i = 0; i < 4; ++i) topDown[22 + i] = static_cast<uint8_t>(negative >> (8 * i));
  const auto a = Decode(bottomUp), b = Decode(topDown);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(ToRgb(*b), ToRgb(*a));
}

}  // namespace
}  // namespace picture_test
