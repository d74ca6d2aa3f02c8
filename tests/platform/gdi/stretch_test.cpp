// Stretching: area averages with fractional coverage worked out by hand,
// nearest pixel, mirroring, clipping, and a check against a floating-point
// integration of the same areas.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

COLORREF Grey(int v) { return RGB(v, v, v); }

// Stretches a one-row grey source to `width` pixels and returns the greys.
std::vector<int> StretchRow(const std::vector<int>& greys, int width, int mode) {
  const int n = static_cast<int>(greys.size());
  Canvas source(n, 1);
  for (int x = 0; x < n; ++x) source.Set(x, 0, Grey(greys[x]));
  Canvas target(width, 1, RGB(1, 2, 3));
  SetStretchBltMode(target.dc(), mode);
  EXPECT_TRUE(StretchBlt(target.dc(), 0, 0, width, 1, source.dc(), 0, 0, n, 1, SRCCOPY));
  std::vector<int> out;
  for (int x = 0; x < width; ++x) out.push_back(GetRValue(target.At(x, 0)));
  return out;
}

}  // namespace

TEST(Halftone, OneAxisAreaAverages) {
  // 3 -> 2: target 0 covers source [0, 1.5): 1 x s0 + 0.5 x s1, over 1.5.
  EXPECT_EQ(StretchRow({0, 90, 180}, 2, HALFTONE), (std::vector<int>{30, 150}));
  // 5 -> 2: target 0 covers [0, 2.5): s0, s1 whole and half of s2.
  EXPECT_EQ(StretchRow({10, 20, 200, 0, 0}, 2, HALFTONE), (std::vector<int>{52, 40}));
  // 4 -> 3: target 0 covers [0, 4/3): s0 and a third of s1; 2/4 = 0.5 rounds up.
  EXPECT_EQ(StretchRow({0, 2, 0, 0}, 3, HALFTONE), (std::vector<int>{1, 1, 0}));
  // 2 -> 3 (enlarging): the middle pixel straddles both halves equally.
  EXPECT_EQ(StretchRow({0, 255}, 3, HALFTONE), (std::vector<int>{0, 128, 255}));
  // Same size is a plain copy.
  EXPECT_EQ(StretchRow({5, 6, 7}, 3, HALFTONE), (std::vector<int>{5, 6, 7}));
}

TEST(Halftone, TwoAxesAndChannelsSeparately) {
  // 3 x 3 -> 2 x 2 with weights (1, 0.5) and (0.5, 1) on both axes. Red is
  // 30x + 60y, so target (1, 0) is ((30 + 2 * 60) / 3 * 2 + (90 + 2 * 120) / 3) / 3 = 70; blue is 255 only at the
  // centre pixel, which each target pixel covers a quarter of: 255 * 0.25 / 2.25 = 28.33.
  Canvas source(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) source.Set(x, y, RGB(30 * x + 60 * y, 0, x == 1 && y == 1 ? 255 : 0));
  Canvas target(2, 2);
  SetStretchBltMode(target.dc(), HALFTONE);
  StretchBlt(target.dc(), 0, 0, 2, 2, source.dc(), 0, 0, 3, 3, SRCCOPY);
  EXPECT_EQ(target.At(0, 0), RGB(30, 0, 28));
  EXPECT_EQ(target.At(1, 0), RGB(70, 0, 28));
  EXPECT_EQ(target.At(0, 1), RGB(110, 0, 28));
  EXPECT_EQ(target.At(1, 1), RGB(150, 0, 28));
}

TEST(Halftone, MatchesFloatingPointAreaIntegration) {
  struct Shape {
    int sw, sh, dw, dh;
  } shapes[] = {{37, 23, 11, 7}, {5, 3, 13, 8}, {7, 7, 7, 3}, {64, 1, 3, 1}, {3, 5, 2, 11}};
  std::mt19937 random(7);
  for (const Shape& shape : shapes) {
    const int sw = shape.sw, sh = shape.sh, dw = shape.dw, dh = shape.dh;
    Canvas source(sw, sh);
    std::vector<int> green(sw * sh);
    for (int i = 0; i < sw * sh; ++i) {
      green[i] = static_cast<int>(random() % 256);
      source.Set(i % sw, i / sw, RGB(0, green[i], 0));
    }
    Canvas target(dw, dh);
    SetStretchBltMode(target.dc(), HALFTONE);
    StretchBlt(target.dc(), 0, 0, dw, dh, source.dc(), 0, 0, sw, sh, SRCCOPY);
    auto overlap = [](double a0, double a1, double b0, double b1) {
      return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
    };
    for (int ty = 0; ty < dh; ++ty)
      for (int tx = 0; tx < dw; ++tx) {
        const double x0 = tx * double(sw) / dw, x1 = (tx + 1) * double(sw) / dw;
        const double y0 = ty * double(sh) / dh, y1 = (ty + 1) * double(sh) / dh;
        double sum = 0, area = 0;
        for (int y = 0; y < sh; ++y)
          for (int x = 0; x < sw; ++x) {
            const double a = overlap(x0, x1, x, x + 1) * overlap(y0, y1, y, y + 1);
            sum += a * green[y * sw + x];
            area += a;
          }
        EXPECT_NEAR(GetGValue(target.At(tx, ty)), sum / area, 0.5 + 1e-9)
            << sw << "x" << sh << " -> " << dw << "x" << dh << " at " << tx << "," << ty;
      }
  }
}

TEST(Halftone, ClippedTargetComputesTheSameVisiblePixels) {
  std::vector<int> greys = {0, 40, 80, 120, 160, 200, 240, 30, 60};
  const std::vector<int> whole = StretchRow(greys, 4, HALFTONE);
  Canvas source(9, 1);
  for (int x = 0; x < 9; ++x) source.Set(x, 0, Grey(greys[x]));
  Canvas target(4, 1, RGB(1, 2, 3));
  SetStretchBltMode(target.dc(), HALFTONE);
  IntersectClipRect(target.dc(), 2, 0, 4, 1);
  StretchBlt(target.dc(), 0, 0, 4, 1, source.dc(), 0, 0, 9, 1, SRCCOPY);
  EXPECT_EQ(target.At(0, 0), RGB(1, 2, 3));
  EXPECT_EQ(target.At(1, 0), RGB(1, 2, 3));
  EXPECT_EQ(GetRValue(target.At(2, 0)), whole[2]);
  EXPECT_EQ(GetRValue(target.At(3, 0)), whole[3]);
}

TEST(Halftone, MonochromeSourceAveragesTextAndBackground) {
  // Bits 1 0 1 1 stretched to 2: each target pixel averages two sources.
  MonoCanvas mono(4, 1, {0xB0, 0x00});
  Canvas target(2, 1);
  SetStretchBltMode(target.dc(), HALFTONE);
  SetTextColor(target.dc(), RGB(0, 0, 0));
  SetBkColor(target.dc(), RGB(200, 100, 50));
  StretchBlt(target.dc(), 0, 0, 2, 1, mono.dc(), 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(target.At(0, 0), RGB(100, 50, 25));
  EXPECT_EQ(target.At(1, 0), RGB(200, 100, 50));
}

TEST(NearestPixel, ColourOnColourAndDefaultMode) {
  // Target pixel centres at (i + 0.5) * source / target.
  EXPECT_EQ(StretchRow({10, 20, 30, 40}, 2, COLORONCOLOR), (std::vector<int>{20, 40}));
  EXPECT_EQ(StretchRow({10, 20, 30}, 2, COLORONCOLOR), (std::vector<int>{10, 30}));
  EXPECT_EQ(StretchRow({10, 20}, 5, COLORONCOLOR), (std::vector<int>{10, 10, 20, 20, 20}));
  // BLACKONWHITE, a new DC's mode, is not averaged here either.
  EXPECT_EQ(StretchRow({10, 20, 30, 40}, 2, BLACKONWHITE), (std::vector<int>{20, 40}));
}

TEST(NearestPixel, NegativeExtentsMirror) {
  Canvas source(3, 2);
  for (int x = 0; x < 3; ++x) {
    source.Set(x, 0, Grey(10 + x));
    source.Set(x, 1, Grey(20 + x));
  }
  Canvas target(3, 2);
  SetStretchBltMode(target.dc(), COLORONCOLOR);
  // Target from x = 3 leftwards: the row comes out reversed.
  StretchBlt(target.dc(), 3, 0, -3, 2, source.dc(), 0, 0, 3, 2, SRCCOPY);
  EXPECT_EQ(target.Row(0), (std::vector<COLORREF>{Grey(12), Grey(11), Grey(10)}));
  // Source height negative: rows swap, columns keep their order.
  StretchBlt(target.dc(), 0, 0, 3, 2, source.dc(), 0, 2, 3, -2, SRCCOPY);
  EXPECT_EQ(target.Row(0), (std::vector<COLORREF>{Grey(20), Grey(21), Grey(22)}));
  EXPECT_EQ(target.Row(1), (std::vector<COLORREF>{Grey(10), Grey(11), Grey(12)}));
  // Both mirrored cancel out.
  SetStretchBltMode(target.dc(), HALFTONE);
  StretchBlt(target.dc(), 3, 0, -3, 2, source.dc(), 3, 0, -3, 2, SRCCOPY);
  EXPECT_EQ(target.Row(1), (std::vector<COLORREF>{Grey(20), Grey(21), Grey(22)}));
}

TEST(NearestPixel, StretchWithOperationCombinesWithTarget) {
  Canvas source(2, 1, RGB(0xF0, 0xF0, 0xF0));
  Canvas target(4, 1, RGB(0x0F, 0x0F, 0x0F));
  SetStretchBltMode(target.dc(), HALFTONE);
  StretchBlt(target.dc(), 0, 0, 4, 1, source.dc(), 0, 0, 2, 1, SRCINVERT);
  EXPECT_EQ(target.At(3, 0), RGB(0xFF, 0xFF, 0xFF));
}

TEST(Halftone, SourceRectangleLeavingTheBitmapRepeatsItsEdge) {
  Canvas source(2, 2);
  source.Set(0, 0, Grey(10));
  source.Set(1, 0, Grey(20));
  source.Set(0, 1, Grey(30));
  source.Set(1, 1, Grey(40));
  for (int mode : {HALFTONE, COLORONCOLOR}) {
    Canvas target(4, 4);
    SetStretchBltMode(target.dc(), mode);
    // Source (-1, -1) .. (3, 3) at half size: the border pixels are repeats.
    StretchBlt(target.dc(), 0, 0, 2, 2, source.dc(), -1, -1, 4, 4, SRCCOPY);
    EXPECT_EQ(target.At(0, 0), Grey(10)) << mode;
    EXPECT_EQ(target.At(1, 1), Grey(40)) << mode;
  }
}
