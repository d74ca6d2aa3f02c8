#include <gtest/gtest.h>

#include "platform/gdi/icons/icon.h"
#include "runtime/picture/formats/icon_directory.h"
#include "test_support.h"

namespace picture_test {

using runtime::picture::formats::IconImageRange;

using runtime::picture::formats::ChooseIconImage;
using runtime::picture::formats::ReadIconDirectoryHeader;
namespace {

using runtime::picture::formats::ChooseIconImage;
using runtime::picture::formats::IconImageRange;
using runtime::picture::formats::ReadIconDirectoryHeader;

struct Entry {
  uint8_t width, height, colours;
  uint32_t size, offset;
};

Bytes Directory(std::initializer_list<Entry> entries) {
  ByteWriter w;
  for (const Entry& e : entries) w.U8(e.width).U8(e.height).U8(e.colours).U8(0).U16(1).U16(8).U32(e.size).U32(e.offset);
  return w.bytes;
}

uint32_t ChosenOffset(const Bytes& entries, uint64_t fileSize = 100000) {
  const auto range = ChooseIconImage(entries, fileSize);
  return range ? range->offset : 0;
}

TEST(IconDirectory, TheFirst32PixelEntryWithSixteenOrMoreColoursWins) {
  EXPECT_EQ(ChosenOffset(Directory({{16, 16, 0, 100, 1000}, {32, 32, 16, 100, 2000}})), 2000u);
  EXPECT_EQ(ChosenOffset(Directory({{32, 32, 16, 100, 1000}, {32, 32, 255, 100, 2000}})), 1000u);
  // A 256-colour 32 x 32 entry records its colour count as 0 and does not
  // qualify; the last entry is taken instead.
  EXPECT_EQ(ChosenOffset(Directory({{32, 32, 0, 100, 1000}, {16, 16, 16, 100, 2000}})), 2000u);
  EXPECT_EQ(ChosenOffset(Directory({{48, 48, 0, 100, 1000}, {48, 48, 0, 100, 2000}})), 2000u);
  EXPECT_EQ(ChosenOffset(Directory({{32, 32, 8, 100, 1000}})), 1000u);
}

TEST(IconDirectory, EntriesOutsideTheFileAreNotUsable) {
  // The qualifying entry runs past the end: the last usable one is taken.
  EXPECT_EQ(ChosenOffset(Directory({{16, 16, 0, 100, 1000}, {32, 32, 16, 100, 1950}}), 2000), 1000u);
  // Offset plus size wraps in 32 bits.
  EXPECT_EQ(ChosenOffset(Directory({{16, 16, 0, 50, 100}, {32, 32, 16, 0x20, 0xFFFFFFF0}}), 2000), 100u);
  EXPECT_FALSE(ChooseIconImage(Directory({{32, 32, 16, 0, 100}}), 2000)) << "empty image";
  EXPECT_FALSE(ChooseIconImage(Directory({{32, 32, 16, 100, 1901}}), 2000)) << "one byte too far";
  EXPECT_TRUE(ChooseIconImage(Directory({{32, 32, 16, 100, 1900}}), 2000)) << "ends at the last byte";
  EXPECT_FALSE(ChooseIconImage(Bytes(15, 0), 2000)) << "entry cut short";
}

TEST(IconDirectory, HeaderNeedsReservedZeroAKnownTypeAndImages) {
  EXPECT_EQ(ReadIconDirectoryHeader(Bytes{0, 0, 1, 0, 2, 0})->count, 2);
  EXPECT_EQ(ReadIconDirectoryHeader(Bytes{0, 0, 2, 0, 1, 0})->type, 2);
  EXPECT_FALSE(ReadIconDirectoryHeader(Bytes{0, 0, 1, 0, 0, 0}));
  EXPECT_FALSE(ReadIconDirectoryHeader(Bytes{1, 0, 1, 0, 1, 0}));
  EXPECT_FALSE(ReadIconDirectoryHeader(Bytes{0, 0, 3, 0, 1, 0}));
  EXPECT_FALSE(ReadIconDirectoryHeader(Bytes{0, 0, 1, 0, 1}));
}

TEST(IconFile, DirectoriesThatDoNotFitGiveNoPicture) {
  // Two entries announced, one present.
  ByteWriter w;
  w.U16(0).U16(1).U16(2).Raw(Directory({{32, 32, 16, 40, 22}})).Zeros(40);
  EXPECT_FALSE(Decode(w.bytes));
  // The only entry points past the end.
  ByteWriter outside;
  outside.U16(0).U16(1).U16(1).Raw(Directory({{32, 32, 16, 4000, 22}})).Zeros(40);
  EXPECT_FALSE(Decode(outside.bytes));
  // The image is too short to hold a header.
  ByteWriter tiny;
  tiny.U16(0).U16(2).U16(1).Raw(Directory({{32, 32, 16, 8, 22}})).Zeros(8);
  EXPECT_FALSE(Decode(tiny.bytes));
}

// Directory entry i starts at 6 + 16 i; its colour count is byte 2.
Bytes WithColourCount(Bytes file, int entry, uint8_t colours) {
  file[6 + 16 * entry + 2] = colours;
  return file;
}

platform::SIZE IconSize(const Picture& p) {
  platform::SIZE size;
  EXPECT_TRUE(platform::GetIconSize(p.icon, &size));
  return size;
}

TEST(IconFile, FilesFromOtherEncodersBecomeIconsOfTheChosenEntry) {
  // 48, 32 and 16 pixels, all with colour count 0: the last entry is taken.
  const Bytes dib = Sample("im.ico");
  auto p = Decode(dib);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, 3);
  EXPECT_EQ(p->width, 16);
  EXPECT_EQ(p->height, 16);  // half the DIB height, which counts the mask too
  EXPECT_EQ(p->pixels, nullptr);
  ASSERT_NE(p->icon, 0u);
  EXPECT_EQ(IconSize(*p).cx, 16);

  // The 32-pixel entry marked with 16 colours qualifies.
  p = Decode(WithColourCount(dib, 1, 16));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 32);
  EXPECT_EQ(IconSize(*p).cy, 32);

  // PNG entries: the size comes from the PNG header.
  p = Decode(Sample("pil.ico"));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 48);
  EXPECT_EQ(p->height, 48);
  EXPECT_EQ(IconSize(*p).cx, 48);
}

TEST(IconFile, CursorFilesAreMadeAsIconsOfTheirOwnKind) {
  Bytes cursor = Sample("im.ico");
  cursor[2] = 2;
  const auto p = Decode(cursor);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, 4);
  EXPECT_NE(p->icon, 0u);
}

}  // namespace
}  // namespace picture_test
