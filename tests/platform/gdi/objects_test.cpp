// Drawing objects: stock objects, deletion rules, palettes, display facts,
// single pixels and the two shapes.
#include <gtest/gtest.h>

#include "gdi_test_util.h"

using namespace gdi_test;

TEST(Objects, DisplayFacts) {
  HDC display = CreateDCA("display", nullptr, nullptr, nullptr);
  ASSERT_NE(display, 0u);
  EXPECT_EQ(GetDeviceCaps(display, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(display, BITSPIXEL) * GetDeviceCaps(display, PLANES), 32);
  EXPECT_EQ(GetDeviceCaps(display, RASTERCAPS) & RC_PALETTE, 0);
  EXPECT_GT(GetDeviceCaps(display, HORZRES), 0);
  // The screen's DC makes 32-bit bitmaps.
  Owned bitmap(CreateCompatibleBitmap(display, 2, 2));
  BITMAP b;
  GetObjectA(bitmap, sizeof b, &b);
  EXPECT_EQ(b.bmBitsPixel, 32);
  EXPECT_TRUE(DeleteDC(display));
  EXPECT_EQ(CreateDCA("PRINTER", nullptr, nullptr, nullptr), 0u);
  DEVMODEA mode;
  ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode));
  EXPECT_EQ(mode.dmBitsPerPel, 32u);
  EXPECT_EQ(static_cast<int>(mode.dmPelsWidth), GetDeviceCaps(0, HORZRES));
  EXPECT_FALSE(EnumDisplaySettingsA(nullptr, 5, &mode));
}

TEST(Objects, StockObjectsSurviveDeletionAndDescribeThemselves) {
  const HGDIOBJ pen = GetStockObject(BLACK_PEN);
  EXPECT_TRUE(DeleteObject(pen));
  LOGPEN lp{};
  ASSERT_EQ(GetObjectA(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnColor, 0u);
  LOGFONTA font{};
  ASSERT_EQ(GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font), 60);
  EXPECT_NE(font.lfHeight, 0);
  LOGBRUSH hollow{};
  GetObjectA(GetStockObject(NULL_BRUSH), sizeof hollow, &hollow);
  EXPECT_EQ(hollow.lbStyle, BS_NULL);
  EXPECT_EQ(GetStockObject(9), 0u);  // no stock object there
  // A buffer too small gets nothing.
  EXPECT_EQ(GetObjectA(pen, 4, &lp), 0);
  // A deleted object's handle is dead.
  HGDIOBJ brush = CreateSolidBrush(1);
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_FALSE(DeleteObject(brush));
  EXPECT_EQ(GetObjectA(brush, sizeof hollow, &hollow), 0);
}

TEST(Objects, PalettesAreCarriedButChangeNoPixel) {
  Canvas c(1, 1, RGB(5, 6, 7));
  const HPALETTE stock = GetStockObject(DEFAULT_PALETTE);
  ASSERT_NE(stock, 0u);
  EXPECT_EQ(GetPaletteEntries(stock, 0, 0, nullptr), 20u);
  struct {
    LOGPALETTE header;
    PALETTEENTRY more[1];
  } two{};
  two.header.palNumEntries = 2;
  two.header.palPalEntry[0] = PALETTEENTRY{1, 2, 3, 0};
  two.more[0] = PALETTEENTRY{4, 5, 6, 0};
  Owned palette(CreatePalette(&two.header));
  EXPECT_EQ(SelectPalette(c.dc(), palette, FALSE), stock);
  EXPECT_EQ(RealizePalette(c.dc()), 0u);
  PALETTEENTRY back[2];
  EXPECT_EQ(GetPaletteEntries(palette, 1, 5, back), 1u);
  EXPECT_EQ(back[0].peBlue, 6);
  EXPECT_EQ(c.At(0, 0), RGB(5, 6, 7));
  EXPECT_TRUE(DeleteObject(stock));
  EXPECT_EQ(GetPaletteEntries(stock, 0, 0, nullptr), 20u);
}

TEST(Objects, BrushDeletedWhileSelectedKeepsDrawing) {
  Canvas c(1, 1);
  HGDIOBJ brush = CreateSolidBrush(RGB(0, 9, 0));
  SelectObject(c.dc(), brush);
  EXPECT_TRUE(DeleteObject(brush));
  PatBlt(c.dc(), 0, 0, 1, 1, PATCOPY);
  EXPECT_EQ(c.At(0, 0), RGB(0, 9, 0));
}

TEST(Objects, ABitmapSitsInOneDcAtATime) {
  Owned bitmap(CreateCompatibleBitmap(0, 2, 2));
  HDC a = CreateCompatibleDC(0), b = CreateCompatibleDC(0);
  EXPECT_NE(SelectObject(a, bitmap), 0u);
  EXPECT_EQ(SelectObject(b, bitmap), 0u);
  DeleteDC(a);  // releases it
  EXPECT_NE(SelectObject(b, bitmap), 0u);
  DeleteDC(b);
}

TEST(Shapes, SinglePixelsFollowClipAndFormat) {
  Canvas c(3, 3, RGB(0, 0, 0));
  EXPECT_EQ(SetPixel(c.dc(), 1, 1, RGB(7, 8, 9)), RGB(7, 8, 9));
  EXPECT_EQ(GetPixel(c.dc(), 1, 1), RGB(7, 8, 9));
  EXPECT_EQ(GetPixel(c.dc(), 3, 0), CLR_INVALID);
  IntersectClipRect(c.dc(), 0, 0, 1, 1);
  EXPECT_EQ(SetPixel(c.dc(), 2, 2, RGB(1, 1, 1)), CLR_INVALID);
  EXPECT_EQ(c.At(2, 2), RGB(0, 0, 0));
  MonoCanvas mono(2, 1);
  // A monochrome pixel stores the nearer of black and white.
  EXPECT_EQ(SetPixel(mono.dc(), 1, 0, RGB(200, 200, 200)), 0xFFFFFFu);
  EXPECT_EQ(mono.Bit(1, 0), 1);
  EXPECT_EQ(GetPixel(mono.dc(), 0, 0), 0u);
}

TEST(Shapes, RectangleAndEllipseWithPenAndBrush) {
  Canvas c(7, 7, RGB(0, 0, 0));
  Owned pen(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
  Owned brush(CreateSolidBrush(RGB(0, 0, 255)));
  SelectObject(c.dc(), pen);
  SelectObject(c.dc(), brush);
  Rectangle(c.dc(), 1, 1, 6, 6);
  EXPECT_EQ(c.At(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(c.At(5, 3), RGB(255, 0, 0));
  EXPECT_EQ(c.At(3, 3), RGB(0, 0, 255));
  EXPECT_EQ(c.At(6, 6), RGB(0, 0, 0));
  // R2_XORPEN combines the pen with the target: red over red is black.
  SetROP2(c.dc(), R2_XORPEN);
  SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
  Rectangle(c.dc(), 1, 1, 6, 6);
  EXPECT_EQ(c.At(1, 1), RGB(0, 0, 0));
  EXPECT_EQ(c.At(3, 3), RGB(0, 0, 255));

  Canvas e(7, 7, RGB(0, 0, 0));
  SelectObject(e.dc(), GetStockObject(NULL_PEN));
  SelectObject(e.dc(), GetStockObject(WHITE_BRUSH));
  Ellipse(e.dc(), 0, 0, 7, 7);
  EXPECT_EQ(e.At(3, 3), 0xFFFFFFu);
  EXPECT_EQ(e.At(3, 0), 0xFFFFFFu);
  EXPECT_EQ(e.At(0, 0), 0u);
  EXPECT_EQ(e.At(6, 6), 0u);
}
