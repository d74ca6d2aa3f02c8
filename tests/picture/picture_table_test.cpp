#include <gtest/gtest.h>

#include <set>

#include "runtime/core/notify.h"
#include "runtime/picture/table/picture_table.h"

namespace picture_test {

namespace {

using runtime::picture::Picture;
using runtime::picture::table::PictureTable;

Picture* NewPicture() {
  return runtime::picture::MakePicture(runtime::picture::PictureKind::Bmp, 1, 1,
                                       runtime::picture::PixelBlock::Zeroed(3))
      .release();
}

TEST(PictureTable, RegisteringTwiceKeepsOneEntryAndOneHandle) {
  PictureTable table;
  Picture* p = NewPicture();
  const uint32_t handle = table.Register(p);
  EXPECT_NE(handle, 0u);
  EXPECT_EQ(table.Register(p), handle);
  EXPECT_EQ(table.Count(), 1u);
  EXPECT_EQ(table.PictureOf(handle), p);
  EXPECT_EQ(table.Register(nullptr), 0u);
  EXPECT_EQ(table.Count(), 1u);
}

TEST(PictureTable, HandlesOfLivePicturesStayDistinctAndReleasedOnesStopResolving) {
  PictureTable table;
  std::set<uint32_t> handles;
  std::vector<Picture*> pictures;
  for (int i = 0; i < 50; ++i) {
    pictures.push_back(NewPicture());
    handles.insert(table.Register(pictures.back()));
  }
  EXPECT_EQ(handles.size(), 50u);
  EXPECT_EQ(handles.count(0), 0u);
  const uint32_t released = table.HandleOf(pictures[10]);
  table.Release(pictures[10]);
  EXPECT_EQ(table.PictureOf(released), nullptr);
  EXPECT_FALSE(table.IsRegistered(pictures[10]));
  EXPECT_EQ(table.Count(), 49u);
  // A new picture does not take over the released handle.
  EXPECT_NE(table.Register(NewPicture()), released);
}

TEST(PictureTable, ReleasingSomethingUnknownChangesNothing) {
  PictureTable table;
  Picture* p = NewPicture();
  table.Register(p);
  Picture stranger;
  table.Release(&stranger);
  table.Release(nullptr);
  EXPECT_EQ(table.Count(), 1u);
  EXPECT_FALSE(table.IsRegistered(&stranger));
  EXPECT_FALSE(table.IsRegistered(nullptr));
  EXPECT_EQ(table.PictureOf(0), nullptr);
  EXPECT_EQ(table.PictureOf(12345), nullptr);
}

TEST(PictureTable, DestroyAllEmptiesTheTable) {
  PictureTable table;
  for (int i = 0; i < 3; ++i) table.Register(NewPicture());
  table.DestroyAll();  // leak checkers see the pictures go
  EXPECT_EQ(table.Count(), 0u);
}

}  // namespace
}  // namespace picture_test
