// DIB conversions: every depth in, 24 and 32 bits out, both row orders,
// colour tables, the size query, and headers that must be refused.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

// A BITMAPINFO with room for a 256-entry colour table.
struct Info {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
  BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

Info MakeInfo(int width, int height, int bits, std::vector<RGBQUAD> table = {}) {
  Info info{};
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biBitCount = static_cast<WORD>(bits);
  info.header.biClrUsed = static_cast<DWORD>(table.size());
  for (size_t i = 0; i < table.size(); ++i) info.colours[i] = table[i];
  return info;
}

// The bitmap's pixels as COLORREFs, top row first, through a top-down 32-bit DIB.
std::vector<COLORREF> ReadBack(HBITMAP bitmap, int width, int height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  Info info = MakeInfo(width, -height, 32);
  EXPECT_EQ(GetDIBits(0, bitmap, 0, height, pixels.data(), info.get(), DIB_RGB_COLORS), height);
  std::vector<COLORREF> out;
  for (uint32_t p : pixels) out.push_back(PixelToColor(p));
  return out;
}

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kGrey = RGB(50, 60, 70);

}  // namespace

TEST(Dib, EightBitPaletteBothRowOrders) {
  // 3 x 2 image, top row red green blue, bottom row grey red green.
  const std::vector<RGBQUAD> table = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {70, 60, 50, 0}};
  const std::vector<COLORREF> want = {kRed, kGreen, kBlue, kGrey, kRed, kGreen};
  // Rows padded to 4 bytes.
  const uint8_t topDown[] = {0, 1, 2, 0, 3, 0, 1, 0};
  const uint8_t bottomUp[] = {3, 0, 1, 0, 0, 1, 2, 0};
  Info td = MakeInfo(3, -2, 8, table), bu = MakeInfo(3, 2, 8, table);
  Owned a(CreateDIBitmap(0, &td.header, CBM_INIT, topDown, td.get(), DIB_RGB_COLORS));
  Owned b(CreateDIBitmap(0, &bu.header, CBM_INIT, bottomUp, bu.get(), DIB_RGB_COLORS));
  EXPECT_EQ(ReadBack(a, 3, 2), want);
  EXPECT_EQ(ReadBack(b, 3, 2), want);
}

TEST(Dib, IndexPastTheColourTableReadsBlack) {
  Info info = MakeInfo(2, 1, 8, {{1, 2, 3, 0}});
  const uint8_t row[] = {0, 7, 0, 0};
  Owned bitmap(CreateDIBitmap(0, &info.header, CBM_INIT, row, info.get(), DIB_RGB_COLORS));
  EXPECT_EQ(ReadBack(bitmap, 2, 1), (std::vector<COLORREF>{RGB(3, 2, 1), RGB(0, 0, 0)}));
}

TEST(Dib, OneAndFourBitRows) {
  Info one = MakeInfo(10, 1, 1, {{0, 0, 0, 0}, {255, 255, 255, 0}});
  const uint8_t oneRow[] = {0xA5, 0x80, 0, 0};  // 1010 0101 10
  Owned a(CreateDIBitmap(0, &one.header, CBM_INIT, oneRow, one.get(), DIB_RGB_COLORS));
  const auto bits = ReadBack(a, 10, 1);
  const int want[] = {1, 0, 1, 0, 0, 1, 0, 1, 1, 0};
  for (int x = 0; x < 10; ++x) EXPECT_EQ(bits[x], want[x] ? RGB(255, 255, 255) : RGB(0, 0, 0)) << x;

  // Two rows stored top-down: the first stored row is the top one.
  Info twoRows = MakeInfo(3, -2, 1, {{0, 0, 0, 0}, {255, 255, 255, 0}});
  const uint8_t twoRowBits[] = {0x80, 0, 0, 0, 0x20, 0, 0, 0};  // top 100, bottom 001
  Owned c(CreateDIBitmap(0, &twoRows.header, CBM_INIT, twoRowBits, twoRows.get(), DIB_RGB_COLORS));
  const auto both = ReadBack(c, 3, 2);
  EXPECT_EQ(both[0], RGB(255, 255, 255));
  EXPECT_EQ(both[2], RGB(0, 0, 0));
  EXPECT_EQ(both[5], RGB(255, 255, 255));

  Info four = MakeInfo(3, 1, 4, {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}});
  const uint8_t fourRow[] = {0x21, 0x00, 0, 0};  // pixels 2, 1, 0
  Owned b(CreateDIBitmap(0, &four.header, CBM_INIT, fourRow, four.get(), DIB_RGB_COLORS));
  EXPECT_EQ(ReadBack(b, 3, 1), (std::vector<COLORREF>{kBlue, kGreen, kRed}));
}

TEST(Dib, TwentyFourAndThirtyTwoBitRoundTrips) {
  const std::vector<COLORREF> image = {kRed, kGreen, kBlue, kGrey, RGB(1, 2, 3), RGB(250, 251, 252)};
  for (int bits : {24, 32})
    for (int sign : {1, -1}) {
      // Write the image into a DIB by hand, then make a bitmap from it.
      const int stride = 12;  // 3 px * 3 bytes = 9, padded to 12; 3 px * 4 bytes = 12
      std::vector<uint8_t> rows(static_cast<size_t>(stride) * 2, 0xEE);
      for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
          const int stored = sign > 0 ? 1 - y : y;
          uint8_t* p = rows.data() + stored * stride + x * (bits / 8);
          const COLORREF c = image[y * 3 + x];
          p[0] = GetBValue(c);
          p[1] = GetGValue(c);
          p[2] = GetRValue(c);
          if (bits == 32) p[3] = 0x7F;  // ignored by device bitmaps
        }
      Info info = MakeInfo(3, 2 * sign, bits);
      Owned bitmap(CreateDIBitmap(0, &info.header, CBM_INIT, rows.data(), info.get(), DIB_RGB_COLORS));
      ASSERT_NE(static_cast<HGDIOBJ>(bitmap), 0u);
      EXPECT_EQ(ReadBack(bitmap, 3, 2), image) << bits << " bits, sign " << sign;

      // And back out in the same layout: the pixels match, row padding is 0.
      Info out = MakeInfo(3, 2 * sign, bits);
      std::vector<uint8_t> back(rows.size(), 0xCD);
      ASSERT_EQ(GetDIBits(0, bitmap, 0, 2, back.data(), out.get(), DIB_RGB_COLORS), 2);
      EXPECT_EQ(out.header.biSizeImage, static_cast<DWORD>(stride * 2));
      for (int s = 0; s < 2; ++s)
        for (int x = 0; x < 3; ++x)
          for (int k = 0; k < 3; ++k)
            EXPECT_EQ(back[s * stride + x * (bits / 8) + k], rows[s * stride + x * (bits / 8) + k]);
      if (bits == 24) {
        EXPECT_EQ(back[9], 0) << "padding";
      } else {
        EXPECT_EQ(back[3], 0) << "unused byte";
      }
    }
}

TEST(Dib, SizeQueryAndPartialRows) {
  Owned bitmap(CreateCompatibleBitmap(0, 2160, 2160));
  Info info = MakeInfo(2160, 2160, 24);
  ASSERT_NE(GetDIBits(0, bitmap, 0, 2160, nullptr, info.get(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(info.header.biSizeImage, 6480u * 2160u);

  // biBitCount 0 asks for the bitmap's own description.
  Info own{};
  ASSERT_NE(GetDIBits(0, bitmap, 0, 0, nullptr, own.get(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(own.header.biWidth, 2160);
  EXPECT_EQ(own.header.biHeight, 2160);
  EXPECT_EQ(own.header.biBitCount, 32);

  // Rows 1..2 of a bottom-up DIB are the bitmap's rows 1 and 0 from the bottom.
  Canvas c(1, 4);
  for (int y = 0; y < 4; ++y) c.Set(0, y, RGB(10 * y, 10 * y, 10 * y));
  Info part = MakeInfo(1, 4, 32);
  uint32_t rows[2] = {};
  ASSERT_EQ(GetDIBits(c.dc(), c.bitmap(), 1, 2, rows, part.get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(PixelToColor(rows[0]), RGB(20, 20, 20));
  EXPECT_EQ(PixelToColor(rows[1]), RGB(10, 10, 10));
  // Start past the end copies nothing.
  EXPECT_EQ(GetDIBits(c.dc(), c.bitmap(), 4, 1, rows, part.get(), DIB_RGB_COLORS), 0);
}

TEST(Dib, RefusesBadHeaders) {
  const uint8_t row[64] = {};
  struct Bad {
    const char* why;
    LONG width, height;
    WORD bits, planes;
    DWORD compression, size;
  } cases[] = {
      {"zero width", 0, 1, 24, 1, BI_RGB, 40},
      {"negative width", -4, 1, 24, 1, BI_RGB, 40},
      {"zero height", 4, 0, 24, 1, BI_RGB, 40},
      {"16 bits", 4, 1, 16, 1, BI_RGB, 40},
      {"run-length", 4, 1, 8, 1, 1, 40},
      {"two planes", 4, 1, 24, 2, BI_RGB, 40},
      {"short header", 4, 1, 24, 1, BI_RGB, 12},
      {"height minimum", 4, INT32_MIN, 24, 1, BI_RGB, 40},
      {"product past the gate", 0x7FFFFFFF, 0x7FFFFFFF, 32, 1, BI_RGB, 40},
  };
  for (const Bad& b : cases) {
    Info info = MakeInfo(b.width, b.height, b.bits);
    info.header.biPlanes = b.planes;
    info.header.biCompression = b.compression;
    info.header.biSize = b.size;
    EXPECT_EQ(CreateDIBitmap(0, &info.header, CBM_INIT, row, info.get(), DIB_RGB_COLORS), 0u) << b.why;
  }
}

TEST(Dib, DibSectionSharesItsPixelsBothOrders) {
  for (int sign : {1, -1}) {
    Info info = MakeInfo(2, 2 * sign, 32);
    void* bits = nullptr;
    Owned section(CreateDIBSection(0, info.get(), DIB_RGB_COLORS, &bits, 0, 0));
    ASSERT_NE(bits, nullptr);
    HDC dc = CreateCompatibleDC(0);
    SelectObject(dc, section);
    Owned brush(CreateSolidBrush(kBlue));
    RECT top{0, 0, 2, 1};
    FillRect(dc, &top, brush);
    // The image's top row is the first stored row only when top-down.
    const auto* words = static_cast<const uint32_t*>(bits);
    const int topStored = sign < 0 ? 0 : 1;
    EXPECT_EQ(PixelToColor(words[topStored * 2]), kBlue) << sign;
    EXPECT_EQ(PixelToColor(words[(1 - topStored) * 2]), RGB(0, 0, 0)) << sign;
    DIBSECTION described{};
    EXPECT_EQ(GetObjectA(section, sizeof described, &described), static_cast<int>(sizeof described));
    EXPECT_EQ(described.dsBm.bmBits, bits);
    EXPECT_EQ(described.dsBmih.biHeight, 2 * sign);
    // Still selected: deleting must refuse.
    EXPECT_FALSE(DeleteObject(section));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteDC(dc);
  }
}

TEST(Dib, SetDIBitsOntoMonochromeTakesTheNearerOfBlackAndWhite) {
  MonoCanvas mono(3, 1);
  Info info = MakeInfo(3, 1, 24);
  // Blue, green, red bytes: dark grey, light grey, pure white; padded to 12.
  const uint8_t row[12] = {40, 40, 40, 200, 200, 200, 255, 255, 255, 0, 0, 0};
  EXPECT_EQ(SetDIBits(0, mono.bitmap(), 0, 1, row, info.get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(mono.Bit(0, 0), 0);
  EXPECT_EQ(mono.Bit(1, 0), 1);
  EXPECT_EQ(mono.Bit(2, 0), 1);
}
