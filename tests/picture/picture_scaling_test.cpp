// A photograph rendered straight from its rows matches, pixel for pixel, the
// same picture drawn through a full-size bitmap and StretchBlt.
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/gdi/owners.h"
#include "runtime/picture/drawing/picture_drawing.h"
#include "runtime/picture/drawing/picture_scaling.h"
#include "test_support.h"

namespace picture_test {

using runtime::picture::drawing::PreparedPicture;
using runtime::picture::drawing::ReleasePreparedPicture;
using runtime::picture::drawing::RenderColourRows;
namespace {

using namespace platform;
using platform::MemoryDc;
using platform::OwnedGdiObject;

// A BMP large enough for the stretch to share its rows out between threads.
Bytes LargeBmp() {
  constexpr uint32_t kWidth = 1700, kHeight = 1300, kRow = kWidth * 3;
  ByteWriter w;
  w.Text("BM").U32(54 + kRow * kHeight).U32(0).U32(54);
  w.U32(40).U32(kWidth).U32(kHeight).U16(1).U16(24).U32(0).U32(kRow * kHeight).U32(0).U32(0).U32(0).U32(0);
  for (uint32_t i = 0; i < kRow * kHeight; ++i) w.U8((i * 2654435761u) >> 24);
  return w.bytes;
}

TEST(PictureScaling, RowsShrunkDirectlyMatchTheDrawnPicture) {
  const std::pair<const char*, Bytes> files[] = {
      {"pil_24.bmp", Sample("pil_24.bmp")}, {"cj.jpg", Sample("cj.jpg")}, {"large", LargeBmp()}};
  for (const auto& [name, bytes] : files) {  // pixels that all differ from their neighbours
    const auto picture = Decode(bytes);
    ASSERT_TRUE(picture) << name;
    struct Case {
      RECT place, part;
      int mode;
    };
    const Case cases[] = {
        {{0, 0, 13, 9}, {0, 0, 13, 9}, HALFTONE},       // shrunk
        {{-4, 2, 80, 50}, {0, 2, 30, 20}, HALFTONE},    // enlarged, partly outside
        {{0, 0, 37, 23}, {5, 5, 20, 15}, COLORONCOLOR}, // own size, a part
        {{0, 0, 11, 30}, {0, 0, 11, 30}, COLORONCOLOR},
    };
    for (const Case& c : cases) {
      const int w = c.part.Width(), h = c.part.Height();
      OwnedGdiObject direct(runtime::picture::drawing::RenderColourRows(*picture, c.place, c.part, c.mode));
      ASSERT_TRUE(direct);
      OwnedGdiObject drawn(CreateCompatibleBitmap(0, w, h));
      {
        MemoryDc target(0, drawn.get());
        runtime::picture::drawing::PreparedPicture prepared;
        ASSERT_TRUE(runtime::picture::drawing::PreparePicture(target.get(), picture.get(), 0, &prepared));
        SetStretchBltMode(target.get(), c.mode);
        MemoryDc source(target.get(), prepared.bitmap);
        StretchBlt(target.get(), c.place.left - c.part.left, c.place.top - c.part.top, c.place.Width(),
                   c.place.Height(), source.get(), 0, 0, picture->width, picture->height, SRCCOPY);
        runtime::picture::drawing::ReleasePreparedPicture(&prepared);
      }
      MemoryDc a(0, direct.get()), b(0, drawn.get());
      int differing = 0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) differing += GetPixel(a.get(), x, y) != GetPixel(b.get(), x, y);
      EXPECT_EQ(differing, 0) << name << " place " << c.place.left << "," << c.place.top << " mode " << c.mode;
    }
  }
  EXPECT_FALSE(runtime::picture::drawing::RenderColourRows(*Decode(Sample("pal.png")), {0, 0, 5, 5}, {0, 0, 5, 5}, HALFTONE))
      << "other kinds are drawn the usual way";
}

}  // namespace
}  // namespace picture_test
