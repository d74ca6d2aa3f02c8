#include <gtest/gtest.h>

#include "test_support.h"

namespace picture_test {
namespace {

Bytes PcxHeader(uint8_t version, uint8_t bits, int16_t xMin, int16_t yMin, int16_t xMax, int16_t yMax, uint8_t planes,
                uint16_t bytesPerLine) {
  ByteWriter w;
  w.U8(0x0A).U8(version).U8(1).U8(bits);
  w.U16(static_cast<uint16_t>(xMin)).U16(static_cast<uint16_t>(yMin));
  w.U16(static_cast<uint16_t>(xMax)).U16(static_cast<uint16_t>(yMax));
  w.Zeros(65 - 12).U8(planes).U16(bytesPerLine).Zeros(128 - 68);
  return w.bytes;
}

Bytes Palette768(std::initializer_list<std::pair<int, uint32_t>> entries) {
  Bytes p(768, 0);
  for (auto [i, rgb] : entries) {
    p[i * 3] = static_cast<uint8_t>(rgb >> 16);
    p[i * 3 + 1] = static_cast<uint8_t>(rgb >> 8);
    p[i * 3 + 2] = static_cast<uint8_t>(rgb);
  }
  return p;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// 3 x 3, 8 bits, 4 bytes per line (one byte of line padding).
const Bytes kRuns = {
    0xC3, 0x07, 0x2A,        // line 0: run of three 7s, then padding 0x2A
    0x01, 0xC2, 0x05, 0x09,  // line 1: literal 1, run of two 5s, padding 9
    0xC5, 0x05,              // line 2: a run of five cut to the line's four
};

TEST(Pcx, EightBitRunsBecomeAPackedDibWithThePaletteAfterTheLastLine) {
  const Bytes file = Concat({PcxHeader(5, 8, 10, 20, 12, 22, 1, 4),
                             kRuns,
                             {0x0C},
                             Palette768({{1, 0x0A0B0C}, {5, 0x505152}, {7, 0x707172}})});
  const auto p = Decode(file);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, 6);
  EXPECT_EQ(p->width, 3);
  EXPECT_EQ(p->height, 3);
  ASSERT_EQ(p->pixelByteCount, 40 + 1024 + 3 * 4);
  const uint8_t* h = p->pixels;
  EXPECT_EQ(h[0], 40);                                                   // header size
  EXPECT_EQ(h[4], 3);                                                    // width
  EXPECT_EQ(int32_t(h[8] | h[9] << 8 | h[10] << 16 | h[11] << 24), -3);  // top-down
  EXPECT_EQ(h[12], 1);                                                   // planes
  EXPECT_EQ(h[14], 8);                                                   // bits
  EXPECT_EQ(Bytes(h + 40 + 7 * 4, h + 40 + 8 * 4), (Bytes{0x72, 0x71, 0x70, 0}));
  const uint8_t* rows = h + 1064;
  EXPECT_EQ(Bytes(rows, rows + 12), (Bytes{7, 7, 7, 0, 1, 5, 5, 0, 5, 5, 5, 0}));
}

TEST(Pcx, ByteC0IsALiteralAndAMissingPaletteLeavesEntriesBlack) {
  const Bytes file = Concat({PcxHeader(5, 8, 0, 0, 1, 0, 1, 2), {0xC0, 0x03}});
  const auto p = Decode(file);
  ASSERT_TRUE(p);
  EXPECT_EQ(Bytes(p->pixels + 1064, p->pixels + 1066), (Bytes{0xC0, 0x03}));
  EXPECT_EQ(RgbAt(*p, 0, 0), (std::array<uint8_t, 3>{0, 0, 0}));
  EXPECT_EQ(RgbAt(*p, 1, 0), (std::array<uint8_t, 3>{0, 0, 0}));
}

TEST(Pcx, OneBitRowsArePaddedToAnEvenByteCount) {
  // 20 x 2: rows of 3 bytes rounded up to 4; the file stores 3 bytes a line.
  const Bytes file = Concat({PcxHeader(3, 1, 0, 0, 19, 1, 1, 3), {0xC1, 0xFF, 0x80, 0x0F, 0xC3, 0xAA}});
  const auto p = Decode(file);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, 7);
  EXPECT_EQ(p->width, 20);
  ASSERT_EQ(p->pixelByteCount, 8);
  EXPECT_EQ(Bytes(p->pixels, p->pixels + 8), (Bytes{0xFF, 0x80, 0x0F, 0, 0xAA, 0xAA, 0xAA, 0}));
}

TEST(Pcx, BadHeadersAndShortDataGiveNoPicture) {
  const Bytes data(64, 0x01);
  EXPECT_FALSE(Decode(Concat({PcxHeader(5, 8, 5, 0, 4, 0, 1, 4), data}))) << "Xmax below Xmin";
  EXPECT_FALSE(Decode(Concat({PcxHeader(5, 8, 0, 0, 3, -1, 1, 4), data}))) << "Ymax below Ymin";
  EXPECT_FALSE(Decode(Concat({PcxHeader(5, 8, 0, 0, 7, 0, 1, 4), data}))) << "lines shorter than the width";
  EXPECT_FALSE(Decode(Concat({PcxHeader(3, 1, 0, 0, 31, 0, 1, 2), data}))) << "1-bit lines shorter than the width";
  EXPECT_FALSE(Decode(Concat({PcxHeader(5, 8, 0, 0, 3, 0, 3, 4), data}))) << "three planes";
  EXPECT_FALSE(Decode(Concat({PcxHeader(5, 8, 0, 0, 3, 20, 1, 4), {1, 2, 3, 4}}))) << "data end early";
  EXPECT_FALSE(Decode(Concat({PcxHeader(5, 8, 0, 0, 3, 0, 1, 4), {0xC4}}))) << "run without its byte";
  EXPECT_FALSE(Decode(Concat({PcxHeader(5, 8, 0, 0, 3, 0, 1, 4), {1, 2, 3, 4, 0x0C, 1, 2}}))) << "palette cut";
  EXPECT_FALSE(Decode(PcxHeader(5, 8, 0, 0, 0, 0, 1, 2))) << "nothing after the header";
  EXPECT_FALSE(Decode(Concat({PcxHeader(5, 8, -32768, -32768, 32766, 32767, 1, 65535), data})))
      << "block beyond the limit";
}

// 1-bit files from other encoders carry version 2 or 5; only version 3
// selects the 1-bit kind, so the version byte is set to 3 here.
Bytes AsVersion3(Bytes file) {
  file[1] = 3;
  return file;
}

TEST(Pcx, FilesFromOtherEncodersDecodePixelExact) {
  for (const char* name : {"pil_8.pcx", "im_8.pcx"}) {
    const auto p = Decode(Sample(name));
    ASSERT_TRUE(p) << name;
    EXPECT_EQ(p->kind, 6) << name;
    EXPECT_EQ(ToRgb(*p), Sample("pal.rgb")) << name;
  }
  for (auto [name, pixels] : {std::pair{"pil_1.pcx", "mono.rgb"}, std::pair{"im_1.pcx", "im_1_pcx.rgb"}}) {
    const auto p = Decode(AsVersion3(Sample(name)));
    ASSERT_TRUE(p) << name;
    EXPECT_EQ(p->kind, 7) << name;
    EXPECT_EQ(ToRgb(*p), Sample(pixels)) << name;
  }
}

}  // namespace
}  // namespace picture_test
