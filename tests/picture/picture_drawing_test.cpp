#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "runtime/picture/drawing/picture_drawing.h"

namespace {

using namespace platform;
using runtime::picture::Picture;
using runtime::picture::PictureKind;
using runtime::picture::drawing::BitmapToBmpBytes;
using runtime::picture::drawing::RenderPicture;
using runtime::picture::drawing::RenderPictureOnColour;

// A memory DC with a colour bitmap filled with one colour.
struct Canvas {
  HDC dc = CreateCompatibleDC(0);
  HBITMAP bitmap;
  HGDIOBJ old;
  int width, height;
  Canvas(int w, int h, COLORREF fill) : bitmap(CreateCompatibleBitmap(0, w, h)), width(w), height(h) {
    old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(fill);
    RECT all{0, 0, w, h};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  // The pixel as a COLORREF, read through a top-down 32-bit DIB.
  COLORREF At(int x, int y) {
    SelectObject(dc, old);
    std::vector<uint8_t> rows(static_cast<size_t>(width) * height * 4);
    BITMAPINFO info;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biBitCount = 32;
    GetDIBits(dc, bitmap, 0, height, rows.data(), &info, DIB_RGB_COLORS);
    SelectObject(dc, bitmap);
    const uint8_t* p = rows.data() + (static_cast<size_t>(y) * width + x) * 4;
    return RGB(p[2], p[1], p[0]);
  }
};

// A picture record built by hand, as a decoder would leave it.
struct OwnedPicture {
  runtime::picture::PicturePtr record;
  Picture& picture;
  OwnedPicture(PictureKind kind, int w, int h, const std::vector<uint8_t>& pixels)
      : record(MakeFilled(kind, w, h, pixels)), picture(*record) {}
  static runtime::picture::PicturePtr MakeFilled(PictureKind kind, int w, int h, const std::vector<uint8_t>& pixels) {
    auto block = runtime::picture::PixelBlock::Zeroed(pixels.size());
    std::memcpy(block.data(), pixels.data(), pixels.size());
    return runtime::picture::MakePicture(kind, w, h, std::move(block));
  }
};

TEST(PictureDrawing, BgrRowsAreStoredBottomUp) {
  // 2 x 2, bottom row first: bottom-left red, bottom-right green, top-left blue, top-right white.
  OwnedPicture rgb(PictureKind::Jpeg, 2, 2, {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255});
  Canvas canvas(2, 2, RGB(9, 9, 9));
  RenderPicture(&rgb.picture, canvas.dc, 0, 0, -1, -1, SRCCOPY);
  EXPECT_EQ(canvas.At(0, 1), RGB(255, 0, 0));
  EXPECT_EQ(canvas.At(1, 1), RGB(0, 255, 0));
  EXPECT_EQ(canvas.At(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(canvas.At(1, 0), RGB(255, 255, 255));
}

TEST(PictureDrawing, AlphaBlendsOverTheBackgroundColour) {
  // Blue-green-red-alpha: transparent red, opaque green, half-transparent blue.
  OwnedPicture png(PictureKind::Png, 3, 1, {0, 0, 255, 0, 0, 255, 0, 255, 255, 0, 0, 128});
  Canvas canvas(3, 1, RGB(1, 2, 3));
  RenderPicture(&png.picture, canvas.dc, 0, 0, -1, -1, SRCCOPY);
  EXPECT_EQ(canvas.At(0, 0), RGB(255, 255, 255));  // alpha 0 over white
  EXPECT_EQ(canvas.At(1, 0), RGB(0, 255, 0));
  // Blue: 0.502 * 255 + 255 * 0.498 = 255. Red and green: 255 * (1 - 128/255) = 127, which the
  // single-precision constant may truncate to 126.
  COLORREF half = canvas.At(2, 0);
  EXPECT_EQ(GetBValue(half), 255);
  EXPECT_NEAR(GetRValue(half), 127, 1);
  RenderPictureOnColour(&png.picture, canvas.dc, 0, 0, -1, -1, RGB(10, 20, 30));
  EXPECT_EQ(canvas.At(0, 0), RGB(10, 20, 30));
}

TEST(PictureDrawing, MonochromeBitsTakeTheTargetsColours) {
  // One row of 8 pixels, even byte count: 1010 0000.
  OwnedPicture mono(PictureKind::Pcx1, 4, 1, {0xA0, 0x00});
  Canvas canvas(4, 1, RGB(0, 0, 0));
  SetTextColor(canvas.dc, RGB(200, 0, 0));
  SetBkColor(canvas.dc, RGB(0, 0, 200));
  RenderPicture(&mono.picture, canvas.dc, 0, 0, -1, -1, SRCCOPY);
  EXPECT_EQ(canvas.At(0, 0), RGB(0, 0, 200));  // 1 bit: background colour
  EXPECT_EQ(canvas.At(1, 0), RGB(200, 0, 0));  // 0 bit: text colour
  EXPECT_EQ(canvas.At(2, 0), RGB(0, 0, 200));
}

TEST(PictureDrawing, ANegativeOperationLeavesTheKeyColourTransparent) {
  OwnedPicture rgb(PictureKind::Bmp, 2, 1, {255, 0, 255, 0, 255, 0});  // magenta, green
  Canvas canvas(2, 1, RGB(7, 8, 9));
  RenderPicture(&rgb.picture, canvas.dc, 0, 0, -1, -1, -static_cast<int64_t>(RGB(255, 0, 255)));
  EXPECT_EQ(canvas.At(0, 0), RGB(7, 8, 9));
  EXPECT_EQ(canvas.At(1, 0), RGB(0, 255, 0));
  EXPECT_EQ(GetTextColor(canvas.dc), RGB(0, 0, 0));  // restored
}

TEST(PictureDrawing, NothingToDrawIsNotAnError) {
  Canvas canvas(1, 1, RGB(5, 5, 5));
  RenderPicture(nullptr, canvas.dc, 0, 0, -1, -1, SRCCOPY);
  Picture empty;
  RenderPicture(&empty, canvas.dc, 0, 0, -1, -1, SRCCOPY);
  OwnedPicture shortBlock(PictureKind::Jpeg, 100, 100, {1, 2, 3});  // claims more than it holds
  RenderPicture(&shortBlock.picture, canvas.dc, 0, 0, -1, -1, SRCCOPY);
  EXPECT_EQ(canvas.At(0, 0), RGB(5, 5, 5));
  EXPECT_EQ(runtime::picture::drawing::ChooseStretchMode(), HALFTONE);
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

TEST(BitmapToBmpBytes, TheCanvasAtItsOwnSizeIsA24BitFile) {
  HBITMAP canvas = CreateCompatibleBitmap(0, 2160, 2160);
  std::vector<uint8_t> bytes;
  ASSERT_EQ(BitmapToBmpBytes(canvas, 0, 0, bytes), 1);
  EXPECT_EQ(bytes.size(), 13996854u);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(Le32(bytes, 2), 13996854u);
  EXPECT_EQ(Le32(bytes, 10), 54u);
  EXPECT_EQ(Le32(bytes, 18), 2160u);
  EXPECT_EQ(Le32(bytes, 22), 2160u);  // positive: bottom-up
  auto size = [&](int w, int h) {
    std::vector<uint8_t> out;
    EXPECT_EQ(BitmapToBmpBytes(canvas, w, h, out), 1);
    return std::make_pair(Le32(out, 18), Le32(out, 22));
  };
  EXPECT_EQ(size(-50, -50), std::make_pair(1080u, 1080u));
  EXPECT_EQ(size(-5, -5), std::make_pair(216u, 216u));  // below 10 % means 10 %
  EXPECT_EQ(size(100, 0), std::make_pair(100u, 2160u));
  std::vector<uint8_t> none;
  EXPECT_EQ(BitmapToBmpBytes(canvas, 0, -0x7FFFFFFF, none), 0);  // 2160 * huge % is refused, not wrapped
  none.clear();
  EXPECT_EQ(BitmapToBmpBytes(canvas, 2000000, 2000000, none), 0);  // beyond what a BMP can hold
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(BitmapToBmpBytes(0, 0, 0, none), 0);
  DeleteObject(canvas);
}

TEST(BitmapToBmpBytes, RowsAreBottomUpBgrPaddedToFourBytes) {
  Canvas canvas(3, 2, RGB(0, 0, 0));
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT top{0, 0, 3, 1};
  FillRect(canvas.dc, &top, red);
  DeleteObject(red);
  SelectObject(canvas.dc, canvas.old);
  std::vector<uint8_t> bytes;
  ASSERT_EQ(BitmapToBmpBytes(canvas.bitmap, 0, 0, bytes), 1);
  ASSERT_EQ(bytes.size(), 54u + 12u * 2);
  // First stored row is the bottom one (black); the second is red: 00 00 FF.
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 54, bytes.begin() + 66), std::vector<uint8_t>(12, 0));
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 66, bytes.begin() + 75),
            (std::vector<uint8_t>{0, 0, 255, 0, 0, 255, 0, 0, 255}));
  SelectObject(canvas.dc, canvas.bitmap);
}

}  // namespace
