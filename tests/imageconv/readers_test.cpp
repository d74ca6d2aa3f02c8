// Each reader against files written by independent encoders (or built by
// hand where no encoder exists), with pixels compared exactly where the
// format is lossless.
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "jpeg_markers.h"
#include "runtime/imageconv/conversion/convert_image.h"
#include "runtime/imageconv/codecs/photocd_reader.h"
#include "support.h"

namespace runtime::imageconv {

using imageconv::codecs::PhotoCdReader;
using imageconv::conversion::LoadImageFile;
using imageconv::conversion::kConverted;
using imageconv::conversion::kSourceUnreadable;

namespace {

using namespace testing;

// Loads through the reader chain; the buffer as 24 bits.
Rgb LoadAs24(const fs::path& path, int32_t* depth = nullptr) {
  ImageBuffer image;
  EXPECT_EQ(LoadImageFile(path.c_str(), image), kConverted) << path;
  if (depth) *depth = image.Depth();
  if (image.Depth() == 24) return FromBuffer(image);
  ImageBuffer colour;
  EXPECT_TRUE(image.ConvertTo(colour, 24));
  return colour.HoldsImage() ? FromBuffer(colour) : Rgb{};
}

void ExpectSamePixels(const Rgb& actual, const Rgb& expected) {
  ASSERT_EQ(actual.width, expected.width);
  ASSERT_EQ(actual.height, expected.height);
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) {
      ASSERT_EQ(0, std::memcmp(actual.At(x, y), expected.At(x, y), 3)) << "pixel " << x << "," << y;
    }
  }
}

class ReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pattern_ = TestPattern(13, 7);  // odd width: BMP and PCX rows need padding
    source_ = WorkPath("pattern.ppm");
    WritePpm(source_, pattern_);
  }
  void TearDown() override { EXPECT_TRUE(StoreFiles().empty()) << "a pixel store file was left behind"; }

  // Pillow's own decoding of `file`, as the reference.
  Rgb PillowDecode(const fs::path& file) {
    const fs::path decoded = WorkPath(file.filename().string() + ".decoded.ppm");
    EXPECT_TRUE(Pillow("decode", file, decoded));
    return ReadPnm(decoded);
  }

  Rgb pattern_;
  fs::path source_;
};

TEST_F(ReaderTest, JpegMatchesTheReferenceDecoder) {
  for (std::string options : {"", "-progressive", "-grayscale", "-sample 1x1"}) {
    SCOPED_TRACE(options);
    const fs::path jpeg = WorkPath("sample.jpg"), decoded = WorkPath("sample.pnm");
    ASSERT_TRUE(RunTool("cjpeg -quality 90 " + options + " -outfile " + Quote(jpeg) + " " + Quote(source_)));
    ASSERT_TRUE(RunTool("djpeg -pnm -outfile " + Quote(decoded) + " " + Quote(jpeg)));
    int32_t depth = 0;
    ExpectSamePixels(LoadAs24(jpeg, &depth), ReadPnm(decoded));
    EXPECT_EQ(depth, options == "-grayscale" ? 8 : 24);
  }
}

// CMYK and YCCK files convert to the light their inks let through. Plain
// CMYK holds ink amounts; files with the Adobe marker hold them inverted.
// Flat 16 x 16 patches, converted and decoded again by djpeg; the centre of
// each patch is compared.
TEST_F(ReaderTest, CmykJpegsConvertToColour) {
  struct Patch {
    std::array<uint8_t, 4> ink;  // cyan, magenta, yellow, black; 255 = full ink
    std::array<int, 3> rgb;
  };
  const Patch patches[] = {
      {{255, 0, 0, 0}, {0, 255, 255}},
      {{0, 255, 0, 0}, {255, 0, 255}},
      {{0, 0, 255, 0}, {255, 255, 0}},
      {{0, 0, 0, 255}, {0, 0, 0}},
      {{0, 0, 0, 0}, {255, 255, 255}},
      // Light 153, 204, 255 under black's 204: (153 × 204 + 127) / 255 = 122 and so on.
      {{102, 51, 0, 51}, {122, 163, 204}},
  };
  constexpr int kPatch = 16;
  const int width = kPatch * static_cast<int>(std::size(patches));
  struct Case {
    const char* what;
    bool ycck;
    bool adobeMarker;
  };
  for (const Case& c : {Case{"CMYK with the Adobe marker", false, true}, Case{"CMYK without it", false, false},
                        Case{"YCCK", true, true}}) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> cmyk;
    for (int y = 0; y < kPatch; ++y) {
      for (const Patch& patch : patches) {
        for (int x = 0; x < kPatch; ++x) {
          for (uint8_t ink : patch.ink) cmyk.push_back(c.adobeMarker ? 255 - ink : ink);
        }
      }
    }
    const fs::path source = WorkPath("cmyk.jpg"), out = WorkPath("cmyk-out.jpg");
    WriteCmykJpeg(source, width, kPatch, cmyk, c.ycck, c.adobeMarker);
    // Transform 2 marks YCCK, 0 plain CMYK.
    ASSERT_EQ(ParseJpegMarkers(ReadBytes(source)).adobeTransform, c.adobeMarker ? (c.ycck ? 2 : 0) : -1);
    ASSERT_EQ(Convert(source.c_str(), out.c_str(), 0, 100, 1, 0), kConverted);
    const Rgb decoded = DecodeWithDjpeg(out);
    ASSERT_EQ(decoded.width, width);
    ASSERT_EQ(decoded.height, kPatch);
    for (size_t p = 0; p < std::size(patches); ++p) {
      for (int y = 4; y < 12; ++y) {
        for (int x = 4; x < 12; ++x) {
          const uint8_t* pixel = decoded.At(static_cast<int>(p) * kPatch + x, y);
          for (int i = 0; i < 3; ++i) ASSERT_NEAR(pixel[i], patches[p].rgb[i], 4) << "patch " << p << " channel " << i;
        }
      }
    }
  }
}

TEST_F(ReaderTest, BmpWindowsAndOs2HeadersExact) {
  const fs::path windows = WorkPath("windows.bmp"), os2 = WorkPath("os2.bmp"), magick = WorkPath("magick.bmp");
  ASSERT_TRUE(Pillow("bmp", source_, windows));
  ASSERT_TRUE(RunTool(kConvert + " " + Quote(source_) + " -type truecolor BMP2:" + Quote(os2)));
  ASSERT_TRUE(RunTool(kConvert + " " + Quote(source_) + " -type truecolor BMP3:" + Quote(magick)));
  ASSERT_EQ(ReadBytes(os2)[14], 12) << "the OS/2 sample must carry the 12-byte core header";
  ExpectSamePixels(LoadAs24(windows), pattern_);
  ExpectSamePixels(LoadAs24(os2), pattern_);
  ExpectSamePixels(LoadAs24(magick), pattern_);
}

TEST_F(ReaderTest, BmpOnePixelWideRowsArePadded) {
  const Rgb column = TestPattern(1, 5);
  const fs::path ppm = WorkPath("column.ppm"), bmp = WorkPath("column.bmp");
  WritePpm(ppm, column);
  ASSERT_TRUE(Pillow("bmp", ppm, bmp));
  ASSERT_EQ(ReadBytes(bmp).size(), 54u + 5 * 4) << "3 pixel bytes + 1 pad byte a row";
  ExpectSamePixels(LoadAs24(bmp), column);
}

// The same picture stored top-down (negative height, rows in display order)
// reads the same and converts to the same JPEG.
// A bottom-up 24-bit BMP with a 54-byte header, stored top-down instead.
std::vector<uint8_t> TopDownOf(const std::vector<uint8_t>& bytes, int width, int height) {
  const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3}, offset = 54;
  std::vector<uint8_t> flipped(bytes.begin(), bytes.begin() + offset);
  for (int i = height - 1; i >= 0; --i) {
    auto row = bytes.begin() + static_cast<std::ptrdiff_t>(offset + i * rowBytes);
    flipped.insert(flipped.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
  }
  const int32_t negative = -height;
  std::memcpy(&flipped[22], &negative, 4);  // biHeight
  return flipped;
}

TEST_F(ReaderTest, BmpTopDownEqualsBottomUp) {
  const fs::path bottomUp = WorkPath("bottom-up.bmp"), topDown = WorkPath("top-down.bmp");
  ASSERT_TRUE(Pillow("bmp", source_, bottomUp));
  WriteBytes(topDown, TopDownOf(ReadBytes(bottomUp), 13, 7));
  ExpectSamePixels(LoadAs24(topDown), pattern_);

  const fs::path a = WorkPath("a.jpg"), b = WorkPath("b.jpg");
  ASSERT_EQ(Convert(bottomUp.c_str(), a.c_str()), kConverted);
  ASSERT_EQ(Convert(topDown.c_str(), b.c_str()), kConverted);
  EXPECT_EQ(ReadBytes(a), ReadBytes(b));
}

// A BMP over 1 MiB, the Photo CD reader's smallest size, is still the BMP
// reader's; its rows come in several reads, the last one short, in either
// order of storage.
TEST_F(ReaderTest, LargeBmpReadsExactly) {
  const Rgb large = TestPattern(620, 600);
  const fs::path ppm = WorkPath("large.ppm"), bmp = WorkPath("large.bmp"), topDown = WorkPath("large-top-down.bmp");
  WritePpm(ppm, large);
  ASSERT_TRUE(Pillow("bmp", ppm, bmp));
  ASSERT_GT(fs::file_size(bmp), 0x100000u);
  ExpectSamePixels(LoadAs24(bmp), large);
  WriteBytes(topDown, TopDownOf(ReadBytes(bmp), 620, 600));
  ExpectSamePixels(LoadAs24(topDown), large);
}

TEST_F(ReaderTest, TiffLayoutsExact) {
  const fs::path plain = WorkPath("plain.tif");
  ASSERT_TRUE(RunTool(kConvert + " " + Quote(source_) + " -compress none " + Quote(plain)));
  ExpectSamePixels(LoadAs24(plain), pattern_);
  for (std::string options : {"-c lzw", "-c zip -t -w 16 -l 16", "-c packbits -r 2", "-p separate"}) {
    SCOPED_TRACE(options);
    const fs::path copy = WorkPath("copy.tif");
    ASSERT_TRUE(RunTool("tiffcp " + options + " " + Quote(plain) + " " + Quote(copy)));
    ExpectSamePixels(LoadAs24(copy), pattern_);
  }
}

TEST_F(ReaderTest, TiffPaletteAndGreyMatchPillow) {
  for (std::string kind : {"tiff-palette", "tiff-grey"}) {
    SCOPED_TRACE(kind);
    const fs::path tiff = WorkPath(kind + ".tif");
    ASSERT_TRUE(Pillow(kind, source_, tiff));
    int32_t depth = 0;
    ExpectSamePixels(LoadAs24(tiff, &depth), PillowDecode(tiff));
    EXPECT_EQ(depth, 24);
  }
}

TEST_F(ReaderTest, PngColourTypesExact) {
  struct Case {
    std::string kind;
    int32_t depth;
  };
  for (const Case& c : {Case{"png-rgb", 24}, Case{"png-grey", 8}, Case{"png-bilevel", 8}, Case{"png-palette", 8},
                        Case{"png-palette4", 8}, Case{"png-grey-alpha", 8}}) {
    SCOPED_TRACE(c.kind);
    const fs::path png = WorkPath(c.kind + ".png");
    ASSERT_TRUE(Pillow(c.kind, source_, png));
    int32_t depth = 0;
    ExpectSamePixels(LoadAs24(png, &depth), PillowDecode(png));
    EXPECT_EQ(depth, c.depth);
  }
  const fs::path interlaced = WorkPath("interlaced.png");
  ASSERT_TRUE(RunTool(kConvert + " " + Quote(source_) + " -interlace PNG PNG24:" + Quote(interlaced)));
  ASSERT_EQ(ReadBytes(interlaced)[28], 1) << "the sample must be interlaced";
  ExpectSamePixels(LoadAs24(interlaced), pattern_);
}

TEST_F(ReaderTest, PngAlphaComesFirst) {
  const fs::path png = WorkPath("alpha.png");
  ASSERT_TRUE(Pillow("png-rgba", source_, png));
  ImageBuffer image;
  ASSERT_EQ(LoadImageFile(png.c_str(), image), kConverted);
  ASSERT_EQ(image.Depth(), 32);
  for (int y = 0; y < pattern_.height; ++y) {
    for (int x = 0; x < pattern_.width; ++x) {
      const uint8_t* p = image.Row(y) + x * 4;
      ASSERT_EQ(p[0], (x * 40) % 256);
      ASSERT_EQ(0, std::memcmp(p + 1, pattern_.At(x, y), 3));
    }
  }
}

// A file of gamma 1.0 is corrected for a 2.2 screen: v' = 255 (v / 255)^(1 / 2.2).
// With an sRGB chunk too, sRGB wins and nothing changes.
TEST_F(ReaderTest, PngGammaCorrection) {
  Rgb levels{3, 1, {0, 0, 0, 64, 64, 64, 255, 255, 255}};
  const fs::path ppm = WorkPath("levels.ppm"), linear = WorkPath("linear.png"), srgb = WorkPath("srgb.png");
  WritePpm(ppm, levels);
  ASSERT_TRUE(Pillow("png-gamma1", ppm, linear));
  ASSERT_TRUE(Pillow("png-gamma1-srgb", ppm, srgb));
  const Rgb corrected = LoadAs24(linear);
  ASSERT_EQ(corrected.width, 3);
  EXPECT_EQ(corrected.At(0, 0)[0], 0);
  EXPECT_NEAR(corrected.At(1, 0)[0], 136, 1);  // 255 × 0.25098^0.4545 = 136.0
  EXPECT_EQ(corrected.At(2, 0)[0], 255);
  ExpectSamePixels(LoadAs24(srgb), levels);
}

TEST_F(ReaderTest, PcxPlanesAndPaletteExact) {
  const fs::path pillow = WorkPath("pillow.pcx"), magick = WorkPath("magick.pcx"), paletted = WorkPath("p.pcx");
  ASSERT_TRUE(Pillow("pcx-rgb", source_, pillow));
  ASSERT_TRUE(RunTool(kConvert + " " + Quote(source_) + " PCX:" + Quote(magick)));
  ASSERT_TRUE(Pillow("pcx-palette", source_, paletted));
  ExpectSamePixels(LoadAs24(pillow), pattern_);
  ExpectSamePixels(LoadAs24(magick), pattern_);
  int32_t depth = 0;
  ExpectSamePixels(LoadAs24(paletted, &depth), PillowDecode(paletted));
  EXPECT_EQ(depth, 8);
}

// A 2 × 2 grey-palette PCX built by hand: a run longer than what is left of
// a line stops at the line's end, and the next line starts afresh.
TEST_F(ReaderTest, PcxRunsStopAtTheEndOfALine) {
  std::vector<uint8_t> file(128, 0);
  file.reserve(128 + 5 + 1 + 768);  // header, lines, palette mark, palette
  file[0] = 10;  // manufacturer
  file[1] = 5;   // version
  file[2] = 1;   // run-length coded
  file[3] = 8;   // bits per pixel
  file[8] = 1;   // Xmax (Xmin = Ymin = 0)
  file[10] = 1;  // Ymax
  file[65] = 1;  // planes
  file[66] = 2;  // bytes per line
  const uint8_t data[] = {
      0xC5, 7,        // line 0: a run of 5 × 7, cut to 2
      3,    0xC1, 9,  // line 1: literal 3, a run of 1 × 9
  };
  file.insert(file.end(), std::begin(data), std::end(data));
  file.push_back(0x0C);
  for (int i = 0; i < 256; ++i) file.insert(file.end(), {uint8_t(i), uint8_t(i), uint8_t(i)});
  const fs::path pcx = WorkPath("runs.pcx");
  WriteBytes(pcx, file);
  ImageBuffer image;
  ASSERT_EQ(LoadImageFile(pcx.c_str(), image), kConverted);
  ASSERT_EQ(image.Depth(), 8);
  // The marker byte 0x0C lies before the palette and is never decoded.
  EXPECT_EQ(std::vector<uint8_t>(image.Pixels(), image.Pixels() + 4), (std::vector<uint8_t>{7, 7, 3, 9}));
}

// Photo CD: rows come in pairs, two luma rows then one chroma row (first
// channel, then second) shared by both. Values worked out from
// Y' = 1.407488 Y; k1 = C1 - 156; k2 = C2 - 137;
// R = Y' + 0.0000256 k1 + 1.3230336 k2, G = Y' - 0.3954176 k1 - 0.67392 k2,
// B = Y' + 2.0360448 k1 + 0.0000256 k2, rounded, clamped to 0..255.
class PhotoCdTest : public ReaderTest {
 protected:
  static constexpr size_t kWidth = 768;
  static constexpr size_t kBase = 0x30000;

  std::vector<uint8_t> Pack(size_t size) {
    std::vector<uint8_t> file(size, 0);
    std::memcpy(&file[0x800], "PCD_IPI", 7);
    uint8_t* luma0 = &file[kBase];
    uint8_t* luma1 = luma0 + kWidth;
    uint8_t* chroma1 = luma1 + kWidth;
    uint8_t* chroma2 = chroma1 + kWidth / 2;
    luma0[0] = luma0[1] = 100;  // pair 0: C1 156, C2 137 → 140.7488 each
    chroma1[0] = 156;
    chroma2[0] = 137;
    luma0[2] = 0;  // pair 1: C1 255, C2 0
    luma1[2] = 150;
    chroma1[1] = 255;
    chroma2[1] = 0;
    luma0[4] = 150;  // pair 2: C1 100, C2 200
    chroma1[2] = 100;
    chroma2[2] = 200;
    return file;
  }
};

TEST_F(PhotoCdTest, BaseResolutionPixelsByHand) {
  const fs::path pcd = WorkPath("pack.pcd");
  WriteBytes(pcd, Pack(0x100000));
  const Rgb image = LoadAs24(pcd);
  ASSERT_EQ(image.width, 768);
  ASSERT_EQ(image.height, 512);
  auto expect = [&](int x, int y, std::array<uint8_t, 3> rgb) {
    EXPECT_EQ(0, std::memcmp(image.At(x, y), rgb.data(), 3)) << x << "," << y;
  };
  expect(0, 0, {141, 141, 141});
  expect(1, 0, {141, 141, 141});
  // Y 0: R -181.25 → 0, G 53.18, B 201.565 → 202.
  expect(2, 0, {0, 53, 202});
  // Y 150, same chroma: R 29.87, G 264.3 → 255, B 412.7 → 255.
  expect(2, 1, {30, 255, 255});
  // Y 150, k1 -56, k2 63: R 294.5 → 255, G 190.81, B 97.106.
  expect(4, 0, {255, 191, 97});
  // All zero: k1 -156, k2 -137: R → 0, G 61.685 + 92.327 = 154.01, B → 0.
  expect(767, 511, {0, 154, 0});
}

// The reader takes a file only when it is at least 1 MiB long and carries
// "PCD_IPI" at 0x800; any other large file ends in -3, not in a picture made
// of its bytes.
TEST_F(PhotoCdTest, SignatureAndSizeDecide) {
  std::vector<uint8_t> text;
  while (text.size() < 0x100000)
    for (char c : std::string("Lorem ipsum dolor sit amet.\n")) text.push_back(c);
  std::vector<uint8_t> bmp32 = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
  Put32(bmp32, 40);   // biSize
  Put32(bmp32, 512);  // width
  Put32(bmp32, 512);  // height
  Put16(bmp32, 1);    // planes
  Put16(bmp32, 32);   // biBitCount: declined by the BMP reader
  bmp32.resize(54 + 512 * 512 * 4, 0x80);
  std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 0, 2, 0, 2, 0xF7, 0, 0};
  gif.resize(0x100000, 0x33);
  auto signedPack = [&](size_t size, size_t offset, const char* signature) {
    std::vector<uint8_t> file = Pack(size);
    std::memset(&file[0x800], 0, 7);
    std::memcpy(&file[offset], signature, 7);
    return file;
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool accepted;
  };
  const Case cases[] = {
      {"1 MiB of text", text, false},
      {"1 MiB of zeros", std::vector<uint8_t>(0x100000, 0), false},
      {"a 32-bit BMP over 1 MiB", bmp32, false},
      {"a GIF padded to 1 MiB", gif, false},
      {"signature one byte early", signedPack(0x100000, 0x7FF, "PCD_IPI"), false},
      {"signature with its last letter wrong", signedPack(0x100000, 0x800, "PCD_IPJ"), false},
      {"signature, 1 048 575 bytes", signedPack(0xFFFFF, 0x800, "PCD_IPI"), false},
      {"signature, 1 048 576 bytes", signedPack(0x100000, 0x800, "PCD_IPI"), true},
  };
  const fs::path file = WorkPath("candidate.pcd"), out = WorkPath("candidate.jpg");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(file, c.bytes);
    ImageBuffer image;
    PhotoCdReader reader;
    EXPECT_EQ(reader.Open(file.c_str(), &image, PhotoCdReader::kBaseClass, nullptr), c.accepted);
    reader.Reset();
    fs::remove(out);
    EXPECT_EQ(Convert(file.c_str(), out.c_str()), c.accepted ? kConverted : kSourceUnreadable);
    EXPECT_EQ(fs::exists(out), c.accepted);
  }
}

TEST_F(PhotoCdTest, Classes) {
  const fs::path enough = WorkPath("enough.pcd");
  WriteBytes(enough, Pack(0x100000));
  ImageBuffer image;
  PhotoCdReader reader;
  EXPECT_FALSE(reader.Open(enough.c_str(), &image, 3, nullptr));
  ASSERT_TRUE(reader.Open(enough.c_str(), &image, 0, nullptr));
  ASSERT_TRUE(reader.Read());
  EXPECT_EQ(image.Width(), 192);
  EXPECT_EQ(image.Height(), 128);
  // Class 0 starts at 0x2000, which holds zeros here: (0, 154, 0).
  EXPECT_EQ(image.Pixels()[1], 154);
  ASSERT_TRUE(reader.Open(enough.c_str(), &image, 1, nullptr));
  ASSERT_TRUE(reader.Read());
  EXPECT_EQ(image.Width(), 384);
  image.Clear();
}

}  // namespace
}  // namespace runtime::imageconv
