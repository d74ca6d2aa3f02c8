#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "runtime/jpeg/decode_limits.h"
#include "test_support.h"

// After the platform types: libjpeg defines TRUE and FALSE as macros.
#include <jpeglib.h>

namespace picture_test {
namespace {

// Bottom-up blue-green-red back to top-down red-green-blue, read directly
// from the block so the layout itself is under test.
Bytes JpegBlockToRgb(const Picture& p) {
  Bytes out;
  const size_t w = static_cast<size_t>(p.width);
  for (int y = p.height - 1; y >= 0; --y) {
    const uint8_t* row = p.pixels + y * w * 3;
    for (size_t x = 0; x < w; ++x) out.insert(out.end(), {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]});
  }
  return out;
}

TEST(Jpeg, ColourAndProgressiveFilesMatchTheReferenceDecoderExactly) {
  for (auto [file, reference] : {std::pair{"cj.jpg", "cj.ppm"}, std::pair{"cj_prog.jpg", "cj_prog.ppm"}}) {
    const auto p = Decode(Sample(file));
    ASSERT_TRUE(p) << file;
    EXPECT_EQ(p->kind, 1);
    const Pnm pnm = ReadPnm(Samples() / reference);
    EXPECT_EQ(p->width, pnm.width);
    EXPECT_EQ(p->height, pnm.height);
    EXPECT_EQ(p->pixelByteCount, pnm.width * pnm.height * 3);
    EXPECT_EQ(JpegBlockToRgb(*p), pnm.pixels) << file;
  }
}

TEST(Jpeg, GreyFilesGiveThreeEqualBytesPerPixel) {
  const auto p = Decode(Sample("cj_grey.jpg"));
  ASSERT_TRUE(p);
  const Pnm pnm = ReadPnm(Samples() / "cj_grey.pgm");
  ASSERT_EQ(pnm.channels, 1);
  Bytes grey;
  for (int i = 0; i < p->width * p->height; ++i) {
    const uint8_t* px = p->pixels + i * 3;
    ASSERT_TRUE(px[0] == px[1] && px[1] == px[2]) << i;
  }
  const Bytes rgb = JpegBlockToRgb(*p);
  for (size_t i = 0; i < rgb.size(); i += 3) grey.push_back(rgb[i]);
  EXPECT_EQ(grey, pnm.pixels);
}

TEST(Jpeg, CmykFromPrintWorkflowsComesOutAsRgb) {
  for (const char* file : {"pil_cmyk.jpg", "im_cmyk.jpg"}) {
    const auto p = Decode(Sample(file));
    ASSERT_TRUE(p) << file;
    EXPECT_EQ(p->width, 16);
    EXPECT_LE(MaxDifference(JpegBlockToRgb(*p), Sample("flat.rgb")), 12) << file;
  }
}

// Four-component files written by libjpeg's compressor: CMYK with or without
// the Adobe marker (inverted or ink values) and YCCK.
Bytes WriteFourComponentJpeg(J_COLOR_SPACE stored, bool adobe, const uint8_t cmyk[4]) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = 8;
  c.image_height = 8;
  c.input_components = 4;
  c.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_colorspace(&c, stored);
  c.write_Adobe_marker = adobe;
  jpeg_set_quality(&c, 100, TRUE);
  jpeg_start_compress(&c, TRUE);
  uint8_t line[8 * 4];
  for (int x = 0; x < 8; ++x) std::copy(cmyk, cmyk + 4, line + x * 4);
  for (int y = 0; y < 8; ++y) {
    JSAMPROW row = line;
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes bytes(out, out + size);
  std::free(out);
  return bytes;
}

TEST(Jpeg, FourComponentColourSpacesAreConverted) {
  // Wanted colour (200, 40, 90). Inverted CMYK stores the light let through:
  // (200, 40, 90) with no black ink (255). Ink values store 255 minus that.
  const uint8_t inverted[4] = {200, 40, 90, 255};
  const uint8_t ink[4] = {55, 215, 165, 0};
  const Bytes want(8 * 8 * 3, 0);
  const struct {
    J_COLOR_SPACE space;
    bool adobe;
    const uint8_t* values;
  } cases[] = {{JCS_CMYK, true, inverted}, {JCS_YCCK, true, inverted}, {JCS_CMYK, false, ink}};
  for (const auto& c : cases) {
    const auto p = Decode(WriteFourComponentJpeg(c.space, c.adobe, c.values));
    ASSERT_TRUE(p) << c.space;
    const auto rgb = RgbAt(*p, 3, 3);
    EXPECT_NEAR(rgb[0], 200, 3) << c.space << " " << c.adobe;
    EXPECT_NEAR(rgb[1], 40, 3) << c.space << " " << c.adobe;
    EXPECT_NEAR(rgb[2], 90, 3) << c.space << " " << c.adobe;
  }
}

TEST(Jpeg, OtherComponentCountsGiveABlackPicture) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = 4;
  c.image_height = 2;
  c.input_components = 2;
  c.in_color_space = JCS_UNKNOWN;
  jpeg_set_defaults(&c);
  jpeg_start_compress(&c, TRUE);
  uint8_t line[8] = {200, 100, 200, 100, 200, 100, 200, 100};
  for (int y = 0; y < 2; ++y) {
    JSAMPROW row = line;
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  const Bytes file(out, out + size);
  std::free(out);
  const auto p = Decode(file);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 4);
  EXPECT_EQ(JpegBlockToRgb(*p), Bytes(4 * 2 * 3, 0));
}

size_t FindMarker(const Bytes& b, uint8_t marker, size_t from = 0) {
  for (size_t i = from; i + 1 < b.size(); ++i)
    if (b[i] == 0xFF && b[i + 1] == marker) return i;
  return b.size();
}

TEST(Jpeg, TruncatedScanDataStillShowsWhatArrived) {
  Bytes file = Sample("cj.jpg");
  const size_t scan = FindMarker(file, 0xDA);
  file.resize(scan + (file.size() - scan) * 4 / 5);
  const auto p = Decode(file);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 37);
  EXPECT_EQ(p->height, 23);
  // The first rows arrived intact; the missing bottom is grey.
  const Pnm full = ReadPnm(Samples() / "cj.ppm");
  const Bytes rgb = JpegBlockToRgb(*p);
  EXPECT_TRUE(std::equal(rgb.begin(), rgb.begin() + 37 * 3 * 8, full.pixels.begin()));
  EXPECT_FALSE(std::equal(rgb.begin(), rgb.end(), full.pixels.begin()));

  Bytes header = Sample("cj.jpg");
  header.resize(scan);
  EXPECT_FALSE(Decode(header)) << "cut before the scan";
}

TEST(Jpeg, EndlessProgressiveScansAreCutOff) {
  // The first scan of a progressive file repeated until the file holds
  // `scans` scans: far more often than any real file does.
  const Bytes file = Sample("cj_prog.jpg");
  const size_t first = FindMarker(file, 0xDA);
  size_t end = first + 2;
  while (end < file.size() &&
         !(file[end] == 0xFF && file[end + 1] != 0 && (file[end + 1] < 0xD0 || file[end + 1] > 0xD7)))
    ++end;
  const Bytes scan(file.begin() + first, file.begin() + end);
  auto withScans = [&](int scans) {
    Bytes many(file.begin(), file.begin() + end);
    for (int i = 1; i < scans; ++i) many.insert(many.end(), scan.begin(), scan.end());
    many.insert(many.end(), {0xFF, 0xD9});
    return many;
  };
  EXPECT_FALSE(Decode(withScans(1001)));
  EXPECT_FALSE(Decode(withScans(runtime::jpeg::kMaxScans + 1))) << "one scan over the cap";
  EXPECT_TRUE(Decode(withScans(runtime::jpeg::kMaxScans))) << "at the cap";
}

TEST(Jpeg, SizesBeyondTheLimitAreRefusedBeforeDecoding) {
  Bytes file = Sample("cj.jpg");
  const size_t sof = FindMarker(file, 0xC0);
  ASSERT_LT(sof, file.size());
  // Height and width fields of the frame header: 60000 x 60000.
  file[sof + 5] = 0xEA;
  file[sof + 6] = 0x60;
  file[sof + 7] = 0xEA;
  file[sof + 8] = 0x60;
  EXPECT_FALSE(Decode(file));
}

}  // namespace
}  // namespace picture_test
