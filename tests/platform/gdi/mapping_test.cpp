// Mapping modes: conversions worked out from the units' definitions at 96
// pixels per inch, the scale modes of the draw panel, and saved states.
#include <gtest/gtest.h>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

POINT ToDevice(HDC dc, int x, int y) {
  POINT p{x, y};
  LPtoDP(dc, &p, 1);
  return p;
}

// Sets a metric mode, then flips y down as the draw panel's scale modes do.
void ScaleMode(HDC dc, int mode) {
  SetMapMode(dc, MM_TEXT);
  SetMapMode(dc, mode);
  SIZE ext;
  GetWindowExtEx(dc, &ext);
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, ext.cx, -ext.cy, nullptr);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  SetWindowOrgEx(dc, 0, 0, nullptr);
}

}  // namespace

TEST(Mapping, FixedModesPutYUpAndUseTheirUnits) {
  Canvas c(4, 4);
  HDC dc = c.dc();
  // 1 inch = 96 px: 254 tenths of a mm, 100 hundredths of an inch, 1440 twips.
  SetMapMode(dc, MM_LOMETRIC);
  POINT p = ToDevice(dc, 254, 254);
  EXPECT_EQ(p.x, 96);
  EXPECT_EQ(p.y, -96);
  SetMapMode(dc, MM_HIMETRIC);
  EXPECT_EQ(ToDevice(dc, 1000, 0).x, 38);  // 10 mm = 37.8 px
  SetMapMode(dc, MM_LOENGLISH);
  EXPECT_EQ(ToDevice(dc, 50, 0).x, 48);
  SetMapMode(dc, MM_HIENGLISH);
  EXPECT_EQ(ToDevice(dc, 1000, 0).x, 96);
  SetMapMode(dc, MM_TWIPS);
  EXPECT_EQ(ToDevice(dc, 15, 0).x, 1);
  EXPECT_EQ(ToDevice(dc, -720, 0).x, -48);
  // Extents are fixed outside the scalable modes.
  SetWindowExtEx(dc, 5, 5, nullptr);
  EXPECT_EQ(ToDevice(dc, 1440, 0).x, 96);
}

TEST(Mapping, ScaleModesGrowDownwardFromTheTopLeft) {
  Canvas c(4, 4);
  HDC dc = c.dc();
  ScaleMode(dc, MM_LOMETRIC);
  // (100, 100) in tenths of a millimetre: 10 mm = 37.795 px.
  POINT p = ToDevice(dc, 100, 100);
  EXPECT_EQ(p.x, 38);
  EXPECT_EQ(p.y, 38);
  SIZE size{815, 815};
  LPtoDPSize(dc, &size);
  EXPECT_EQ(size.cx, 308);  // 81.5 mm = 308.03 px
  EXPECT_EQ(size.cy, 308);
  SIZE back{495, 472};
  DPtoLPSize(dc, &back);
  EXPECT_EQ(back.cx, 1310);  // 495 px = 130.97 mm
  EXPECT_EQ(back.cy, 1249);
  POINT q{38, 38};
  DPtoLP(dc, &q, 1);
  EXPECT_EQ(q.x, 101);  // 38 px = 100.54 tenths of a mm
  EXPECT_EQ(q.y, 101);

  ScaleMode(dc, MM_TWIPS);
  p = ToDevice(dc, 1440, 720);
  EXPECT_EQ(p.x, 96);
  EXPECT_EQ(p.y, 48);
}

TEST(Mapping, AnisotropicAndIsotropicExtents) {
  Canvas c(4, 4);
  HDC dc = c.dc();
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, 100, 100, nullptr);
  SetViewportExtEx(dc, 50, 200, nullptr);
  SetWindowOrgEx(dc, 10, 0, nullptr);
  SetViewportOrgEx(dc, 3, 4, nullptr);
  POINT p = ToDevice(dc, 30, 5);
  EXPECT_EQ(p.x, 3 + 10);  // (30 - 10) * 50 / 100 + 3
  EXPECT_EQ(p.y, 4 + 10);
  EXPECT_FALSE(SetWindowExtEx(dc, 0, 5, nullptr));

  // Isotropic units stay square: the larger viewport scale shrinks.
  SetMapMode(dc, MM_ISOTROPIC);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  SetWindowExtEx(dc, 100, 100, nullptr);
  SetViewportExtEx(dc, 50, -200, nullptr);
  SIZE v;
  GetViewportExtEx(dc, &v);
  EXPECT_EQ(v.cx, 50);
  EXPECT_EQ(v.cy, -50);
}

TEST(Mapping, DrawingUsesTheTransform) {
  Canvas c(8, 8, RGB(0, 0, 0));
  SetMapMode(c.dc(), MM_ANISOTROPIC);
  SetWindowExtEx(c.dc(), 2, 2, nullptr);
  SetViewportExtEx(c.dc(), 1, 1, nullptr);  // two logical units per pixel
  PatBlt(c.dc(), 4, 4, 4, 4, WHITENESS);
  EXPECT_EQ(c.At(2, 2), 0xFFFFFFu);
  EXPECT_EQ(c.At(3, 3), 0xFFFFFFu);
  EXPECT_EQ(c.At(4, 4), 0u);
  EXPECT_EQ(c.At(1, 1), 0u);
}

TEST(SavedStates, RestoreBringsBackModesObjectsAndBitmap) {
  Canvas c(2, 2, RGB(0, 0, 0));
  HDC dc = c.dc();
  Owned red(CreateSolidBrush(RGB(255, 0, 0)));
  SelectObject(dc, red);
  SetTextColor(dc, RGB(1, 2, 3));
  const int saved = SaveDC(dc);
  EXPECT_EQ(saved, 1);
  Owned other(CreateCompatibleBitmap(0, 2, 2));
  SelectObject(dc, other);
  SelectObject(dc, GetStockObject(BLACK_BRUSH));
  SetMapMode(dc, MM_TWIPS);
  SetTextColor(dc, RGB(9, 9, 9));
  EXPECT_EQ(SaveDC(dc), 2);
  EXPECT_TRUE(RestoreDC(dc, saved));
  EXPECT_EQ(GetMapMode(dc), MM_TEXT);
  EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
  // The canvas bitmap and the red brush are current again.
  PatBlt(dc, 0, 0, 2, 2, PATCOPY);
  EXPECT_EQ(c.At(1, 1), RGB(255, 0, 0));
  // Both saves are gone now; the other bitmap is free to be deleted.
  EXPECT_FALSE(RestoreDC(dc, -1));
  EXPECT_TRUE(DeleteObject(other));
}
