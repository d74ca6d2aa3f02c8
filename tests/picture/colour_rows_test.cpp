// A photograph drawn straight from its colour rows matches, pixel for pixel,
// the same rows drawn from a full-size device bitmap: every stretch mode,
// placements shrunk, enlarged, mirrored and partly outside, and raster
// operations that read the source, the target and both.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/owners.h"
#include "runtime/picture/drawing/picture_drawing.h"
#include "test_support.h"

namespace picture_test {
namespace {

using namespace platform;

// A BMP large enough for the stretch to share its rows out between threads.
Bytes LargeBmp() {
  constexpr uint32_t kWidth = 1700, kHeight = 1300, kRow = kWidth * 3;
  ByteWriter w;
  w.Text("BM").U32(54 + kRow * kHeight).U32(0).U32(54);
  w.U32(40).U32(kWidth).U32(kHeight).U16(1).U16(24).U32(0).U32(kRow * kHeight).U32(0).U32(0).U32(0).U32(0);
  for (uint32_t i = 0; i < kRow * kHeight; ++i) w.U8((i * 2654435761u) >> 24);
  return w.bytes;
}

// The picture's rows as a 32-bit device bitmap, copied through padded DIB rows.
HBITMAP DeviceBitmapOf(const runtime::picture::Picture& picture) {
  const size_t row = static_cast<size_t>(picture.width) * 3, stride = (row + 3) & ~size_t{3};
  std::vector<uint8_t> padded(stride * static_cast<size_t>(picture.height));
  for (int32_t y = 0; y < picture.height; ++y) std::memcpy(padded.data() + y * stride, picture.pixels + y * row, row);
  BITMAPINFO info;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = picture.height;
  info.bmiHeader.biBitCount = 24;
  return CreateDIBitmap(0, &info.bmiHeader, CBM_INIT, padded.data(), &info, DIB_RGB_COLORS);
}

// A target filled with a pattern every operation that reads it can see.
HBITMAP PatternedTarget(int w, int h) {
  HBITMAP bitmap = CreateCompatibleBitmap(0, w, h);
  MemoryDc dc(0, bitmap);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPixel(dc.get(), x, y, RGB(x * 37 % 256, y * 53 % 256, (x + y) * 11 % 256));
  return bitmap;
}

int Differing(HBITMAP a, HBITMAP b, int w, int h) {
  MemoryDc da(0, a), db(0, b);
  int differing = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) differing += GetPixel(da.get(), x, y) != GetPixel(db.get(), x, y);
  return differing;
}

TEST(ColourRows, DrawnFromTheRowsAsFromADeviceBitmapOfThem) {
  const std::pair<const char*, Bytes> files[] = {
      {"pil_24.bmp", Sample("pil_24.bmp")}, {"cj.jpg", Sample("cj.jpg")}, {"large", LargeBmp()}};
  struct Placement {
    RECT dest;  // width or height negative: mirrored
    RECT target;
  };
  const Placement placements[] = {
      {{0, 0, 13, 9}, {0, 0, 13, 9}},      // shrunk
      {{-4, 2, 80, 50}, {0, 0, 30, 20}},   // enlarged, partly outside
      {{5, 5, 0, 0}, {0, 0, 20, 15}},      // own size (width 0: the picture's)
      {{12, 0, -11, 30}, {0, 0, 12, 30}},  // mirrored
  };
  const DWORD operations[] = {SRCCOPY, SRCINVERT, SRCAND, NOTSRCCOPY, MERGEPAINT};
  for (const auto& [name, bytes] : files) {  // pixels that all differ from their neighbours
    const auto picture = Decode(bytes);
    ASSERT_TRUE(picture) << name;
    const auto rows = runtime::picture::PhotographRows(*picture);
    ASSERT_TRUE(rows) << name;
    OwnedGdiObject device(DeviceBitmapOf(*picture));
    ASSERT_TRUE(device);
    for (const Placement& p : placements) {
      for (const int mode : {HALFTONE, COLORONCOLOR}) {
        for (const DWORD operation : operations) {
          const int w = p.target.right, h = p.target.bottom;
          const int dw = p.dest.right ? p.dest.right : picture->width;
          const int dh = p.dest.bottom ? p.dest.bottom : picture->height;
          OwnedGdiObject fromRows(PatternedTarget(w, h)), fromBitmap(PatternedTarget(w, h));
          {
            MemoryDc target(0, fromRows.get());
            SetStretchBltMode(target.get(), mode);
            ASSERT_TRUE(StretchColourRows(target.get(), p.dest.left, p.dest.top, dw, dh, *rows, 0, 0, picture->width,
                                          picture->height, operation));
          }
          {
            MemoryDc target(0, fromBitmap.get()), source(0, device.get());
            SetStretchBltMode(target.get(), mode);
            StretchBlt(target.get(), p.dest.left, p.dest.top, dw, dh, source.get(), 0, 0, picture->width,
                       picture->height, operation);
          }
          EXPECT_EQ(Differing(fromRows.get(), fromBitmap.get(), w, h), 0)
              << name << " at " << p.dest.left << "," << p.dest.top << " mode " << mode << " rop " << operation;
        }
      }
    }
  }
  EXPECT_FALSE(runtime::picture::PhotographRows(*Decode(Sample("pal.png")))) << "other kinds are drawn from a bitmap";
}

TEST(ColourRows, APixelBlockTooShortForThePictureHasNoRows) {
  auto picture = Decode(Sample("pil_24.bmp"));
  ASSERT_TRUE(picture);
  picture->pixelByteCount = picture->width * 3 * picture->height - 1;
  EXPECT_FALSE(runtime::picture::PhotographRows(*picture));
  picture->pixelByteCount += 1;
  EXPECT_TRUE(runtime::picture::PhotographRows(*picture));
}

}  // namespace
}  // namespace picture_test
