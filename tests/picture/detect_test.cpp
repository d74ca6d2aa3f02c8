#include <gtest/gtest.h>

#include "runtime/picture/formats/picture_decode.h"
#include "runtime/picture/table/picture_table.h"
#include "test_support.h"

namespace picture_test {

using runtime::picture::formats::DetectPictureKind;
namespace {

using runtime::picture::PictureKind;
using runtime::picture::formats::DetectPictureKind;

PictureKind Kind(Bytes first) {
  first.resize(8, 0);
  return DetectPictureKind(first.data(), first.size());
}

TEST(Detect, FirstBytesSelectTheKind) {
  EXPECT_EQ(Kind({'B', 'M'}), PictureKind::Bmp);
  EXPECT_EQ(Kind({0xFF, 0xD8, 0xFF}), PictureKind::Jpeg);
  EXPECT_EQ(Kind({0x89, 'P', 'N', 'G'}), PictureKind::Png);
  EXPECT_EQ(Kind({0, 0, 1, 0, 1, 0}), PictureKind::Icon);
  EXPECT_EQ(Kind({0, 0, 2, 0, 0xFF, 0xFF}), PictureKind::Cursor);  // image count read unsigned
  EXPECT_EQ(Kind({'G', 'I', 'F', '8', '7', 'a'}), PictureKind::Gif);
  EXPECT_EQ(Kind({'G', 'I', 'F', '8', '9', 'a'}), PictureKind::Gif);
  EXPECT_EQ(Kind({0x0A, 5, 1, 8}), PictureKind::Pcx8);
  EXPECT_EQ(Kind({0x0A, 0, 1, 8}), PictureKind::Pcx8);
  EXPECT_EQ(Kind({0x0A, 3, 1, 1}), PictureKind::Pcx1);
}

TEST(Detect, NearMissesSelectNothing) {
  EXPECT_EQ(Kind({0, 0, 1, 0, 0, 0}), PictureKind::None) << "icon without images";
  EXPECT_EQ(Kind({0, 0, 3, 0, 1, 0}), PictureKind::None) << "unknown directory type";
  EXPECT_EQ(Kind({'G', 'I', 'F', '8', '8', 'a'}), PictureKind::None);
  EXPECT_EQ(Kind({0x0A, 6, 1, 8}), PictureKind::None) << "PCX version above 5";
  EXPECT_EQ(Kind({0x0A, 5, 0, 8}), PictureKind::None) << "PCX without run-length encoding";
  EXPECT_EQ(Kind({0x0A, 5, 1, 1}), PictureKind::None) << "1-bit PCX needs version 3";
  EXPECT_EQ(Kind({0x0A, 3, 1, 4}), PictureKind::None) << "4-bit PCX";
  EXPECT_EQ(Kind({0x89, 'P', 'N', 'g'}), PictureKind::None);
}

TEST(Detect, FewerThanSixBytesSelectNothing) {
  const uint8_t bmp[8] = {'B', 'M', 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(DetectPictureKind(bmp, 5), PictureKind::None);
  EXPECT_EQ(DetectPictureKind(bmp, 6), PictureKind::Bmp);
  EXPECT_EQ(DetectPictureKind(nullptr, 8), PictureKind::None);
}

TEST(Detect, DataShorterThanEightBytesNeverDecode) {
  // Seven bytes that a longer file would start with.
  const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1};
  EXPECT_FALSE(Decode(gif));
  EXPECT_FALSE(runtime::picture::table::DecodePicture(nullptr, 100));
  const Bytes jpeg = Sample("cj.jpg");
  EXPECT_FALSE(runtime::picture::table::DecodePicture(jpeg.data(), 7));
  EXPECT_FALSE(runtime::picture::table::DecodePicture(jpeg.data(), -5));
}

}  // namespace
}  // namespace picture_test
