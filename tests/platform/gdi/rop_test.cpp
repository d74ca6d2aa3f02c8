// Raster operations: the table, every operation through BitBlt, overlapping
// copies, brushes as patterns and the monochrome colour rules.
#include <gtest/gtest.h>

#include <vector>

#include "gdi_test_util.h"
#include "platform/gdi/raster/rop_table.h"

using namespace gdi_test;

namespace {

// The documented meaning of a ternary operation, bit by bit: bit
// (p << 2 | s << 1 | d) of the index is the result.
uint32_t Ternary(uint8_t index, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t out = 0;
  for (int bit = 0; bit < 32; ++bit) {
    const unsigned k = (p >> bit & 1) << 2 | (s >> bit & 1) << 1 | (d >> bit & 1);
    out |= static_cast<uint32_t>(index >> k & 1) << bit;
  }
  return out;
}

DWORD RopCode(uint8_t index) { return static_cast<DWORD>(index) << 16; }

}  // namespace

TEST(RasterOperations, EveryProgramComputesItsTruthTable) {
  ASSERT_LE(platform::gdi::LongestRopProgram(), platform::gdi::kMaxRopSteps);
  ASSERT_LE(platform::gdi::DeepestRopStack(), platform::gdi::kMaxRopStack);
  // Each byte lane sees all eight input combinations.
  const uint32_t d[] = {0xAAAAAAAAu, 0x12345678u}, s[] = {0xCCCCCCCCu, 0x9ABCDEF0u}, p[] = {0xF0F0F0F0u, 0x0F1E2D3Cu};
  for (int index = 0; index < 256; ++index) {
    uint32_t out[2] = {d[0], d[1]};
    platform::gdi::RunRop(platform::gdi::RopFor(static_cast<uint8_t>(index)), out, s, p, 2);
    EXPECT_EQ(out[0], static_cast<uint32_t>(index) * 0x01010101u) << "operation " << index;
    EXPECT_EQ(out[1], Ternary(static_cast<uint8_t>(index), p[1], s[1], d[1])) << "operation " << index;
  }
}

TEST(RasterOperations, AllOperationsThroughBitBltWithPatternBrush) {
  const COLORREF dColour = RGB(0x5A, 0xC3, 0x0F), sColour = RGB(0x36, 0x99, 0xF0), pColour = RGB(0xA5, 0x3C, 0x81);
  Canvas pattern(8, 8, pColour);
  Owned brush(CreatePatternBrush(pattern.bitmap()));
  Canvas source(4, 2, sColour);
  for (int index = 0; index < 256; ++index) {
    Canvas target(4, 2, dColour);
    SelectObject(target.dc(), brush);
    ASSERT_TRUE(BitBlt(target.dc(), 1, 0, 2, 2, source.dc(), 0, 0, RopCode(static_cast<uint8_t>(index))));
    const COLORREF want = platform::PixelToColor(
        Ternary(static_cast<uint8_t>(index), ColorToPixel(pColour), ColorToPixel(sColour), ColorToPixel(dColour)) &
        0xFFFFFF);
    EXPECT_EQ(target.At(1, 1), want) << "operation " << index;
    EXPECT_EQ(target.At(2, 0), want) << "operation " << index;
    EXPECT_EQ(target.At(0, 0), dColour) << "outside the rectangle, operation " << index;
    EXPECT_EQ(target.At(3, 1), dColour) << "outside the rectangle, operation " << index;
  }
}

TEST(RasterOperations, NamedOperationsOnKnownPixels) {
  Canvas source(1, 1, RGB(0xF0, 0x0F, 0x33));
  struct Case {
    DWORD rop;
    COLORREF want;  // target starts at RGB(0x3C, 0x3C, 0x55)
  } cases[] = {
      {SRCCOPY, RGB(0xF0, 0x0F, 0x33)},    {SRCPAINT, RGB(0xFC, 0x3F, 0x77)},
      {SRCAND, RGB(0x30, 0x0C, 0x11)},     {SRCINVERT, RGB(0xCC, 0x33, 0x66)},
      {NOTSRCCOPY, RGB(0x0F, 0xF0, 0xCC)}, {DSTINVERT, RGB(0xC3, 0xC3, 0xAA)},
      {BLACKNESS, RGB(0, 0, 0)},           {WHITENESS, RGB(0xFF, 0xFF, 0xFF)},
      {SRCERASE, RGB(0xC0, 0x03, 0x22)},   {NOTSRCERASE, RGB(0x03, 0xC0, 0x88)},
  };
  for (const Case& c : cases) {
    Canvas target(1, 1, RGB(0x3C, 0x3C, 0x55));
    BitBlt(target.dc(), 0, 0, 1, 1, source.dc(), 0, 0, c.rop);
    EXPECT_EQ(target.At(0, 0), c.want) << std::hex << c.rop;
  }
}

TEST(RasterOperations, OverlappingCopiesInsideOneBitmap) {
  // Each pixel a distinct colour; the copy must look as if the source were
  // read completely before anything was written, in every direction.
  const int w = 7, h = 6;
  struct Move {
    int dx, dy;
  } moves[] = {{2, 1}, {-2, -1}, {0, 3}, {0, -3}, {3, 0}, {-3, 0}, {1, -2}, {-1, 2}};
  for (const Move& m : moves) {
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) c.Set(x, y, RGB(x * 30, y * 40, 7));
    // Copy the 4 x 3 block at (2, 2) to (2 + dx, 2 + dy) clipped to the bitmap.
    BitBlt(c.dc(), 2 + m.dx, 2 + m.dy, 4, 3, c.dc(), 2, 2, SRCCOPY);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int sx = x - m.dx, sy = y - m.dy;
        const bool copied = x >= 2 + m.dx && x < 6 + m.dx && y >= 2 + m.dy && y < 5 + m.dy;
        const COLORREF want = copied ? RGB(sx * 30, sy * 40, 7) : RGB(x * 30, y * 40, 7);
        EXPECT_EQ(c.At(x, y), want) << "move " << m.dx << "," << m.dy << " at " << x << "," << y;
      }
  }
}

TEST(RasterOperations, SourceOutsideItsBitmapLeavesTargetAlone) {
  Canvas source(2, 2, RGB(1, 2, 3));
  Canvas target(4, 4, RGB(9, 9, 9));
  BitBlt(target.dc(), 0, 0, 4, 4, source.dc(), -1, -1, SRCCOPY);
  EXPECT_EQ(target.At(0, 0), RGB(9, 9, 9));
  EXPECT_EQ(target.At(1, 1), RGB(1, 2, 3));
  EXPECT_EQ(target.At(2, 2), RGB(1, 2, 3));
  EXPECT_EQ(target.At(3, 3), RGB(9, 9, 9));
}

TEST(Brushes, SolidHatchAndHollow) {
  Canvas target(8, 8, RGB(1, 1, 1));
  Owned red(CreateSolidBrush(RGB(255, 0, 0)));
  RECT all{0, 0, 8, 8};
  FillRect(target.dc(), &all, red);
  EXPECT_EQ(target.At(7, 7), RGB(255, 0, 0));

  // Horizontal hatch: one line in row 4 of each 8 x 8 tile.
  Owned hatch(CreateHatchBrush(HS_HORIZONTAL, RGB(0, 0, 255)));
  SelectObject(target.dc(), hatch);
  SetBkColor(target.dc(), RGB(0, 255, 0));
  SetBkMode(target.dc(), OPAQUE);
  PatBlt(target.dc(), 0, 0, 8, 8, PATCOPY);
  EXPECT_EQ(target.At(3, 4), RGB(0, 0, 255));
  EXPECT_EQ(target.At(3, 3), RGB(0, 255, 0));

  // Transparent: the gaps keep what was there.
  target.Fill(RGB(7, 7, 7));
  SetBkMode(target.dc(), TRANSPARENT);
  PatBlt(target.dc(), 0, 0, 8, 8, PATCOPY);
  EXPECT_EQ(target.At(5, 4), RGB(0, 0, 255));
  EXPECT_EQ(target.At(5, 5), RGB(7, 7, 7));

  // A hollow brush paints nothing.
  SelectObject(target.dc(), GetStockObject(NULL_BRUSH));
  PatBlt(target.dc(), 0, 0, 8, 8, PATCOPY);
  EXPECT_EQ(target.At(5, 4), RGB(0, 0, 255));

  // A diagonal hatch follows the brush origin: moving the origin one pixel
  // right moves the line one pixel right.
  Owned diagonal(CreateHatchBrush(HS_FDIAGONAL, RGB(255, 255, 255)));
  SelectObject(target.dc(), diagonal);
  SetBkMode(target.dc(), OPAQUE);
  SetBkColor(target.dc(), RGB(0, 0, 0));
  PatBlt(target.dc(), 0, 0, 8, 8, PATCOPY);
  EXPECT_EQ(target.At(2, 2), RGB(255, 255, 255));
  EXPECT_EQ(target.At(3, 2), RGB(0, 0, 0));
  SetBrushOrgEx(target.dc(), 1, 0, nullptr);
  PatBlt(target.dc(), 0, 0, 8, 8, PATCOPY);
  EXPECT_EQ(target.At(3, 2), RGB(255, 255, 255));
  EXPECT_EQ(target.At(2, 2), RGB(0, 0, 0));
}

TEST(MonochromeRules, MonoSourceOnColourTakesTextAndBackground) {
  // Row 0: bits 1010 (0xA0); row 1: 0101 (0x50); rows padded to 16 bits.
  MonoCanvas mono(4, 2, {0xA0, 0x00, 0x50, 0x00});
  Canvas target(4, 2, RGB(9, 9, 9));
  SetTextColor(target.dc(), RGB(200, 0, 0));
  SetBkColor(target.dc(), RGB(0, 0, 200));
  BitBlt(target.dc(), 0, 0, 4, 2, mono.dc(), 0, 0, SRCCOPY);
  // 0 bits take the text colour, 1 bits the background colour.
  EXPECT_EQ(target.Row(0), (std::vector<COLORREF>{RGB(0, 0, 200), RGB(200, 0, 0), RGB(0, 0, 200), RGB(200, 0, 0)}));
  EXPECT_EQ(target.Row(1), (std::vector<COLORREF>{RGB(200, 0, 0), RGB(0, 0, 200), RGB(200, 0, 0), RGB(0, 0, 200)}));
}

TEST(MonochromeRules, ColourSourceOnMonoMatchesSourceBackground) {
  Canvas source(3, 1);
  source.Set(0, 0, RGB(255, 255, 255));
  source.Set(1, 0, RGB(10, 20, 30));
  source.Set(2, 0, RGB(0, 0, 0));
  MonoCanvas mono(3, 1);
  // Pixels of the source DC's background colour become 1, all others 0,
  // whatever their brightness.
  SetBkColor(source.dc(), RGB(10, 20, 30));
  BitBlt(mono.dc(), 0, 0, 3, 1, source.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(mono.Bit(0, 0), 0);
  EXPECT_EQ(mono.Bit(1, 0), 1);
  EXPECT_EQ(mono.Bit(2, 0), 0);
}

TEST(MonochromeRules, TransparentColourMaskSequence) {
  // The three-blit transparency used for pictures: mask from the picture
  // with its background set to the key, then SRCINVERT, SRCAND, SRCINVERT.
  const COLORREF key = RGB(255, 255, 255);
  Canvas picture(2, 1);
  picture.Set(0, 0, key);
  picture.Set(1, 0, RGB(40, 50, 60));
  MonoCanvas mask(2, 1);
  SetBkColor(picture.dc(), key);
  BitBlt(mask.dc(), 0, 0, 2, 1, picture.dc(), 0, 0, SRCCOPY);
  Canvas target(2, 1, RGB(1, 2, 3));
  SetBkColor(target.dc(), RGB(255, 255, 255));
  SetTextColor(target.dc(), RGB(0, 0, 0));
  BitBlt(target.dc(), 0, 0, 2, 1, picture.dc(), 0, 0, SRCINVERT);
  BitBlt(target.dc(), 0, 0, 2, 1, mask.dc(), 0, 0, SRCAND);
  BitBlt(target.dc(), 0, 0, 2, 1, picture.dc(), 0, 0, SRCINVERT);
  EXPECT_EQ(target.At(0, 0), RGB(1, 2, 3));
  EXPECT_EQ(target.At(1, 0), RGB(40, 50, 60));
}

TEST(MonochromeRules, MonoToMonoCopiesBitsAndFreshMemoryDcsAreMono) {
  MonoCanvas a(10, 1, {0xC1, 0x40});  // 1100 0001 01
  MonoCanvas b(10, 1);
  BitBlt(b.dc(), 0, 0, 10, 1, a.dc(), 0, 0, NOTSRCCOPY);
  const int want[] = {0, 0, 1, 1, 1, 1, 1, 0, 1, 0};
  for (int x = 0; x < 10; ++x) EXPECT_EQ(b.Bit(x, 0), want[x]) << x;

  // A new memory DC holds a 1 x 1 monochrome bitmap, so bitmaps made
  // compatible with it are monochrome; the screen's are 32-bit.
  HDC fresh = CreateCompatibleDC(0);
  Owned fromFresh(CreateCompatibleBitmap(fresh, 5, 5));
  Owned fromScreen(CreateCompatibleBitmap(0, 5, 5));
  BITMAP info;
  ASSERT_EQ(GetObjectA(fromFresh, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmBitsPixel, 1);
  EXPECT_EQ(info.bmWidthBytes, 2);  // rows padded to 16 bits
  ASSERT_EQ(GetObjectA(fromScreen, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmBitsPixel, 32);
  DeleteDC(fresh);
}

TEST(RasterOperations, ExtremeCoordinatesAreRefusedOrClippedWithoutHarm) {
  Canvas source(4, 4, RGB(1, 1, 1));
  Canvas target(4, 4, RGB(2, 2, 2));
  const int big = 0x7FFFFFFF, small = INT32_MIN;
  BitBlt(target.dc(), small, small, big, big, source.dc(), big, big, SRCCOPY);
  BitBlt(target.dc(), big, big, big, big, source.dc(), small, small, SRCCOPY);
  StretchBlt(target.dc(), 0, 0, big, big, source.dc(), 0, 0, 4, 4, SRCCOPY);
  StretchBlt(target.dc(), 0, 0, 4, 4, source.dc(), small, small, big, big, SRCCOPY);
  SetStretchBltMode(target.dc(), HALFTONE);
  StretchBlt(target.dc(), big, 0, small, 4, source.dc(), 0, 0, 4, 4, SRCCOPY);
  EXPECT_EQ(target.At(0, 0), RGB(2, 2, 2));
  // A fill far larger than the bitmap still covers just the bitmap.
  EXPECT_TRUE(PatBlt(target.dc(), -1000000, -1000000, 2000000, 2000000, BLACKNESS));
  EXPECT_EQ(target.At(3, 3), RGB(0, 0, 0));
  SetMapMode(target.dc(), MM_ANISOTROPIC);
  SetWindowExtEx(target.dc(), 1, 1, nullptr);
  SetViewportExtEx(target.dc(), big, big, nullptr);
  POINT p{small, big};
  EXPECT_TRUE(LPtoDP(target.dc(), &p, 1));
  EXPECT_EQ(p.x, small);  // saturated
  EXPECT_EQ(p.y, big);
  PatBlt(target.dc(), small, small, big, big, WHITENESS);
  Rectangle(target.dc(), small, small, big, big);
  Ellipse(target.dc(), small, small, big, big);
}
