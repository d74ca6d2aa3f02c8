// Regions: combinations against point membership worked out by hand, and
// clipping of drawing through them.
#include <gtest/gtest.h>

#include <string>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

// Membership of the 6 x 6 grid as rows of '#' and '.'.
std::string Picture(HRGN region) {
  std::string s;
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) s += PtInRegion(region, x, y) ? '#' : '.';
    s += '\n';
  }
  return s;
}

}  // namespace

TEST(Regions, Combinations) {
  Owned a(CreateRectRgn(0, 0, 4, 4));
  Owned b(CreateRectRgn(2, 2, 6, 6));
  Owned out(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(CombineRgn(out, a, b, RGN_AND), SIMPLEREGION);
  EXPECT_EQ(Picture(out), "......\n......\n..##..\n..##..\n......\n......\n");
  EXPECT_EQ(CombineRgn(out, a, b, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(Picture(out), "####..\n####..\n######\n######\n..####\n..####\n");
  EXPECT_EQ(CombineRgn(out, a, b, RGN_XOR), COMPLEXREGION);
  EXPECT_EQ(Picture(out), "####..\n####..\n##..##\n##..##\n..####\n..####\n");
  EXPECT_EQ(CombineRgn(out, a, b, RGN_DIFF), COMPLEXREGION);
  EXPECT_EQ(Picture(out), "####..\n####..\n##....\n##....\n......\n......\n");
  EXPECT_EQ(CombineRgn(out, a, 0, RGN_COPY), SIMPLEREGION);
  EXPECT_EQ(Picture(out), "####..\n####..\n####..\n####..\n......\n......\n");
  // Disjoint AND is empty; the target may also be an operand.
  Owned far(CreateRectRgn(10, 10, 12, 12));
  EXPECT_EQ(CombineRgn(a, a, far, RGN_AND), NULLREGION);
  EXPECT_EQ(CombineRgn(out, out, 0, 99), ERROR);
}

TEST(Regions, UnionOfTouchingPartsIsOneRectangleAgain) {
  Owned left(CreateRectRgn(0, 0, 3, 5));
  Owned right(CreateRectRgn(3, 0, 6, 5));
  Owned both(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(CombineRgn(both, left, right, RGN_OR), SIMPLEREGION);
  Owned whole(CreateRectRgn(0, 0, 6, 5));
  EXPECT_TRUE(EqualRgn(both, whole));
  RECT box;
  EXPECT_EQ(GetRgnBox(both, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 6);
}

TEST(Regions, OffsetAndBox) {
  Owned r(CreateRectRgn(4, 4, 0, 0));  // corners in either order
  EXPECT_EQ(OffsetRgn(r, 1, 2), SIMPLEREGION);
  RECT box;
  GetRgnBox(r, &box);
  EXPECT_EQ(box.left, 1);
  EXPECT_EQ(box.top, 2);
  EXPECT_EQ(box.right, 5);
  EXPECT_EQ(box.bottom, 6);
  EXPECT_FALSE(PtInRegion(r, 5, 5));  // right and bottom edges are outside
  EXPECT_TRUE(PtInRegion(r, 4, 5));
  // Offsets that would wrap saturate instead of folding the region back.
  OffsetRgn(r, 0x7FFFFFF0, 0);
  EXPECT_FALSE(PtInRegion(r, 1, 2));
}

TEST(Regions, ClipLimitsDrawingAndClipBox) {
  Canvas c(6, 6, RGB(0, 0, 0));
  Owned a(CreateRectRgn(0, 0, 2, 6));
  Owned b(CreateRectRgn(4, 0, 6, 6));
  Owned both(CreateRectRgn(0, 0, 0, 0));
  CombineRgn(both, a, b, RGN_OR);
  EXPECT_EQ(SelectClipRgn(c.dc(), both), COMPLEXREGION);
  // Changing the region afterwards does not change the DC's clip.
  SetRectRgn(both, 0, 0, 0, 0);
  PatBlt(c.dc(), 0, 0, 6, 6, WHITENESS);
  EXPECT_EQ(c.Row(3), (std::vector<COLORREF>{0xFFFFFF, 0xFFFFFF, 0, 0, 0xFFFFFF, 0xFFFFFF}));
  RECT box;
  EXPECT_EQ(GetClipBox(c.dc(), &box), COMPLEXREGION);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 6);

  ExcludeClipRect(c.dc(), 0, 0, 6, 3);
  c.Fill(0);
  PatBlt(c.dc(), 0, 0, 6, 6, WHITENESS);
  EXPECT_EQ(c.At(0, 2), 0u);
  EXPECT_EQ(c.At(0, 3), 0xFFFFFFu);

  SelectClipRgn(c.dc(), 0);
  c.Fill(0);
  PatBlt(c.dc(), 0, 0, 6, 6, WHITENESS);
  EXPECT_EQ(c.At(3, 0), 0xFFFFFFu);
  EXPECT_EQ(GetClipBox(c.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.bottom, 6);
}
