#include <gtest/gtest.h>

#include "test_support.h"

namespace picture_test {
namespace {

TEST(Png, RowsAreTopDownBlueGreenRedAlpha) {
  const auto p = Decode(Sample("pil_rgba.png"));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, 8);
  EXPECT_EQ(p->width, 19);
  EXPECT_EQ(p->height, 13);
  EXPECT_EQ(p->pixelByteCount, 19 * 13 * 4);
  EXPECT_EQ(ToRgba(*p), Sample("rgba.rgba"));
  // Pixel (1, 0): red 13, green 0, blue 0, alpha 29, stored blue first.
  EXPECT_EQ(Bytes(p->pixels + 4, p->pixels + 8), (Bytes{0, 0, 13, 29}));
}

TEST(Png, PaletteImagesComeOutOpaque) {
  const auto p = Decode(Sample("pal.png"));
  ASSERT_TRUE(p);
  EXPECT_EQ(ToRgb(*p), Sample("pal.rgb"));
  for (int i = 0; i < p->width * p->height; ++i) ASSERT_EQ(p->pixels[i * 4 + 3], 255);
}

TEST(Png, DamagedFilesGiveNoPicture) {
  const Bytes good = Sample("pil_rgba.png");
  Bytes cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(good.size() / 2));
  EXPECT_FALSE(Decode(cut)) << "cut in the image data";
  Bytes crc = good;
  crc[29] ^= 0xFF;  // the header chunk's checksum
  EXPECT_FALSE(Decode(crc)) << "bad header checksum";
  Bytes signature(good.begin(), good.begin() + 8);
  EXPECT_FALSE(Decode(signature)) << "signature only";
}

}  // namespace
}  // namespace picture_test
