// The JPEG writer: its output decoded again by an independent decoder is the
// input within JPEG error, baseline, with the tables asked for.
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "jpeg_markers.h"
#include "runtime/imageconv/conversion/convert_image.h"
#include "runtime/imageconv/codecs/jpeg_codec.h"
#include "support.h"

namespace runtime::imageconv {

using imageconv::codecs::JpegCodec;
using imageconv::codecs::JpegSaveOptions;
using imageconv::conversion::kConverted;
namespace {

using namespace testing;

struct Difference {
  double mean = 0;
  int most = 0;
};

Difference Compare(const Rgb& a, const Rgb& b) {
  EXPECT_EQ(a.width, b.width);
  EXPECT_EQ(a.height, b.height);
  Difference d;
  if (a.pixels.size() != b.pixels.size()) return {255, 255};
  for (size_t i = 0; i < a.pixels.size(); ++i) {
    const int e = std::abs(int(a.pixels[i]) - int(b.pixels[i]));
    d.mean += e;
    d.most = std::max(d.most, e);
  }
  d.mean /= static_cast<double>(a.pixels.size());
  return d;
}

class WriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    picture_ = SmoothPattern(97, 61);  // not a multiple of the 16-pixel blocks
    ppm_ = WorkPath("smooth.ppm");
    bmp_ = WorkPath("smooth.bmp");
    WritePpm(ppm_, picture_);
    ASSERT_TRUE(Pillow("bmp", ppm_, bmp_));
  }
  void TearDown() override { EXPECT_TRUE(StoreFiles().empty()); }

  Rgb picture_;
  fs::path ppm_, bmp_;
};

TEST_F(WriterTest, ColourRoundTripIsBaselineWithOptimisedTables) {
  const fs::path jpeg = WorkPath("out.jpg");
  ASSERT_EQ(Convert(bmp_.c_str(), jpeg.c_str(), 0, 75, 1, 0), kConverted);
  const Difference d = Compare(DecodeWithDjpeg(jpeg), picture_);
  EXPECT_LT(d.mean, 2.0);
  EXPECT_LT(d.most, 24);

  const JpegMarkers markers = ParseJpegMarkers(ReadBytes(jpeg));
  EXPECT_EQ(markers.frameTypes, std::vector<uint8_t>{0xC0});
  EXPECT_EQ(markers.components, 3);
  EXPECT_EQ(markers.width, 97);
  EXPECT_EQ(markers.height, 61);
  EXPECT_EQ(markers.restartInterval, 0);
  EXPECT_EQ(markers.comments, 0);
  ASSERT_FALSE(markers.huffmanTables.empty());
  EXPECT_NE(markers.huffmanTables[0], kStandardDcLuminance);
  // Quality 75 scales the standard luminance table by 50%: 16 → 8, 11 → 6.
  ASSERT_EQ(markers.firstQuantTable.size(), 64u);
  EXPECT_EQ(markers.firstQuantTable[0], 8);
  EXPECT_EQ(markers.firstQuantTable[1], 6);

  // The same settings in the reference encoder give the same file.
  const fs::path reference = WorkPath("reference.jpg");
  ASSERT_TRUE(RunTool("cjpeg -quality 75 -optimize -outfile " + Quote(reference) + " " + Quote(ppm_)));
  EXPECT_EQ(ReadBytes(jpeg), ReadBytes(reference));
}

TEST_F(WriterTest, WithoutOptimisingTheStandardTablesAreUsed) {
  const fs::path jpeg = WorkPath("standard.jpg");
  ASSERT_EQ(Convert(bmp_.c_str(), jpeg.c_str(), 0, 75, 0, 0), kConverted);
  const JpegMarkers markers = ParseJpegMarkers(ReadBytes(jpeg));
  ASSERT_FALSE(markers.huffmanTables.empty());
  EXPECT_EQ(markers.huffmanTables[0], kStandardDcLuminance);
  EXPECT_EQ(markers.frameTypes, std::vector<uint8_t>{0xC0});
}

TEST_F(WriterTest, GreyOutputUsesTheGreyWeights) {
  const fs::path jpeg = WorkPath("grey.jpg");
  ASSERT_EQ(Convert(bmp_.c_str(), jpeg.c_str(), 1, 90, 1, 0), kConverted);
  EXPECT_EQ(ParseJpegMarkers(ReadBytes(jpeg)).components, 1);
  Rgb expected = picture_;
  for (size_t i = 0; i < expected.pixels.size(); i += 3) {
    const uint8_t* p = &picture_.pixels[i];
    const auto grey = static_cast<uint8_t>((306 * p[0] + 601 * p[1] + 117 * p[2]) >> 10);
    expected.pixels[i] = expected.pixels[i + 1] = expected.pixels[i + 2] = grey;
  }
  const Difference d = Compare(DecodeWithDjpeg(jpeg), expected);
  EXPECT_LT(d.mean, 1.0);
  EXPECT_LT(d.most, 8);
}

// Sources of other depths are converted first: grey to colour gives equal
// channels, 32 bits lose their alpha, and a palette image goes through its
// palette.
TEST_F(WriterTest, OtherDepthsAreConverted) {
  const fs::path greyJpeg = WorkPath("grey-source.jpg"), colourOut = WorkPath("colour-out.jpg");
  ASSERT_TRUE(RunTool("cjpeg -grayscale -quality 95 -outfile " + Quote(greyJpeg) + " " + Quote(ppm_)));
  ASSERT_EQ(Convert(greyJpeg.c_str(), colourOut.c_str(), 0, 95, 1, 0), kConverted);
  EXPECT_EQ(ParseJpegMarkers(ReadBytes(colourOut)).components, 3);
  const Rgb decoded = DecodeWithDjpeg(colourOut);
  for (size_t i = 0; i < decoded.pixels.size(); i += 3) {
    ASSERT_NEAR(decoded.pixels[i], decoded.pixels[i + 1], 1);
    ASSERT_NEAR(decoded.pixels[i], decoded.pixels[i + 2], 1);
  }

  for (std::string kind : {"png-rgba", "png-palette"}) {
    SCOPED_TRACE(kind);
    const fs::path png = WorkPath(kind + ".png"), out = WorkPath(kind + ".jpg"), plain = WorkPath(kind + ".ppm");
    ASSERT_TRUE(Pillow(kind, ppm_, png));
    ASSERT_TRUE(Pillow("decode", png, plain));
    ASSERT_EQ(Convert(png.c_str(), out.c_str(), 0, 90, 1, 0), kConverted);
    // Quantised colours have hard edges, so the error is a little larger.
    const Difference d = Compare(DecodeWithDjpeg(out), ReadPnm(plain));
    EXPECT_LT(d.mean, 3.5);
  }
}

std::vector<std::array<int32_t, 4>> progressCalls;
void RecordProgress(int32_t phase, int32_t percent, int32_t row, int32_t reserved) {
  progressCalls.push_back({phase, percent, row, reserved});
}

TEST_F(WriterTest, ProgressPerRow) {
  ImageBuffer image;
  ASSERT_TRUE(image.Create(5, 3, 24, 0));
  JpegCodec codec;
  progressCalls.clear();
  ASSERT_EQ(codec.Save(WorkPath("progress.jpg").c_str(), image, JpegSaveOptions{}, RecordProgress), 1);
  using Call = std::array<int32_t, 4>;
  EXPECT_EQ(progressCalls, (std::vector<Call>{{0, 33, 0, 0}, {0, 66, 1, 0}, {0, 100, 2, 0}}));

  progressCalls.clear();
  const fs::path saved = WorkPath("progress.jpg");
  ImageBuffer read;
  ASSERT_TRUE(codec.Open(saved.c_str(), &read, RecordProgress));
  ASSERT_TRUE(codec.Read());
  EXPECT_EQ(progressCalls, (std::vector<Call>{{1, 33, 0, 0}, {1, 66, 1, 0}, {1, 100, 2, 0}}));
}

TEST_F(WriterTest, EmptySourceIsRefused) {
  ImageBuffer empty;
  JpegCodec codec;
  const fs::path out = WorkPath("never.jpg");
  EXPECT_EQ(codec.Save(out.c_str(), empty, JpegSaveOptions{}, nullptr), 0);
  EXPECT_FALSE(fs::exists(out));
}

}  // namespace
}  // namespace runtime::imageconv
