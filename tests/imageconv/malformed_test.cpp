// Hostile files: each must end in the reader chain's failure code, never a
// crash, and leave no pixel store file behind. Hand-built cases carry a
// comment on each field; every file in malformed/ (fuzzer findings among
// them) is replayed by the looped test.
#include <cstring>

#include <gtest/gtest.h>
#include <zlib.h>

#include "runtime/imageconv/conversion/convert_image.h"
#include "runtime/jpeg/decode_limits.h"
#include "support.h"

namespace runtime::imageconv {

using imageconv::conversion::LoadImageFile;
using imageconv::conversion::kConverted;
using imageconv::conversion::kSourceUnreadable;

namespace {

using namespace testing;

// Descriptors this process has open: a refused file must leave none behind.
size_t OpenDescriptors() {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

class MalformedTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_TRUE(StoreFiles().empty()) << "a pixel store file was left behind"; }

  // Loads the bytes through the reader chain and through the command.
  void ExpectUnreadable(const std::vector<uint8_t>& bytes, const std::string& what) {
    SCOPED_TRACE(what);
    const fs::path file = WorkPath("hostile.bin"), out = WorkPath("hostile.jpg");
    WriteBytes(file, bytes);
    const size_t descriptors = OpenDescriptors();
    ImageBuffer image;
    EXPECT_EQ(LoadImageFile(file.c_str(), image), kSourceUnreadable);
    EXPECT_FALSE(image.HoldsImage());
    EXPECT_EQ(Convert(file.c_str(), out.c_str()), kSourceUnreadable);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_TRUE(StoreFiles().empty());
    EXPECT_EQ(OpenDescriptors(), descriptors) << "a file was left open";
  }
};

// File header and Windows info header of a 24-bit BMP.
std::vector<uint8_t> BmpHeader(int32_t width, int32_t height, uint32_t offBits, uint32_t headerSize = 40) {
  std::vector<uint8_t> b = {'B', 'M'};
  Put32(b, 0);           // bfSize, unused
  Put32(b, 0);           // reserved
  Put32(b, offBits);     // bfOffBits
  Put32(b, headerSize);  // biSize
  Put32(b, static_cast<uint32_t>(width));
  Put32(b, static_cast<uint32_t>(height));
  Put16(b, 1);   // planes
  Put16(b, 24);  // biBitCount
  Put32(b, 0);   // BI_RGB
  while (b.size() < 54) b.push_back(0);
  return b;
}

TEST_F(MalformedTest, Bmp) {
  auto withPixels = [](std::vector<uint8_t> b, size_t bytes) {
    b.resize(b.size() + bytes, 0x40);
    return b;
  };
  ExpectUnreadable(withPixels(BmpHeader(2, 2, 5000), 16), "bfOffBits past the end");
  ExpectUnreadable(withPixels(BmpHeader(2, 2, 30), 16), "bfOffBits inside the info header");
  ExpectUnreadable(withPixels(BmpHeader(2, INT32_MIN, 54), 16), "height that cannot be negated");
  ExpectUnreadable(withPixels(BmpHeader(20000, 20000, 54), 16), "width x height x 3 over 1 GiB");
  ExpectUnreadable(withPixels(BmpHeader(INT32_MAX, 1, 54), 16), "row size that wraps");
  ExpectUnreadable(withPixels(BmpHeader(4, 4, 54), 47), "pixel data one byte short");
  ExpectUnreadable(withPixels(BmpHeader(4, 4, 54, 8), 48), "info header too short for its fields");
  std::vector<uint8_t> os2 = {'B', 'M', 0,  0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12, 0, 0, 0,  // bcSize: core header
                              0,   0,   2,  0,                                              // width 0, height 2
                              1,   0,   24, 0};                                             // planes, bit count
  ExpectUnreadable(withPixels(os2, 16), "core header of width 0");
  ExpectUnreadable({'B', 'M', 0, 0}, "file header cut short");
}

// A PCX header: manufacturer, version, encoding, bits, frame, planes, bytes per line.
std::vector<uint8_t> PcxHeader(int16_t xMax, int16_t yMax, uint8_t bits, uint8_t planes, uint16_t bytesPerLine,
                               int16_t xMin = 0, int16_t yMin = 0) {
  std::vector<uint8_t> h(128, 0);
  h[0] = 10;
  h[1] = 5;
  h[2] = 1;
  h[3] = bits;
  std::memcpy(&h[4], &xMin, 2);
  std::memcpy(&h[6], &yMin, 2);
  std::memcpy(&h[8], &xMax, 2);
  std::memcpy(&h[10], &yMax, 2);
  h[65] = planes;
  std::memcpy(&h[66], &bytesPerLine, 2);
  return h;
}

TEST_F(MalformedTest, Pcx) {
  // 24 bits, 4 × 4: each line is three planes of 4 bytes; one run of 12 fills it.
  std::vector<uint8_t> complete = PcxHeader(3, 3, 8, 3, 4);
  for (int line = 0; line < 4; ++line) complete.insert(complete.end(), {0xCC, 0x55});
  {
    ImageBuffer image;
    const fs::path ok = WorkPath("complete.pcx");
    WriteBytes(ok, complete);
    ASSERT_EQ(LoadImageFile(ok.c_str(), image), kConverted) << "the intact file must read";
  }
  std::vector<uint8_t> cut(complete.begin(), complete.end() - 3);
  ExpectUnreadable(cut, "data ending inside the last line");
  std::vector<uint8_t> dangling(complete.begin(), complete.end() - 1);
  ExpectUnreadable(dangling, "run code without its value byte");
  ExpectUnreadable(PcxHeader(0, 3, 8, 3, 4), "one pixel wide (Xmin = Xmax)");
  ExpectUnreadable(PcxHeader(3, 3, 8, 3, 4, 5, 0), "Xmax below Xmin");
  ExpectUnreadable(PcxHeader(3, 3, 8, 3, 2), "lines shorter than the width");
  ExpectUnreadable(PcxHeader(3, 3, 24, 1, 12), "24 bits in one plane");
  ExpectUnreadable(PcxHeader(3, 3, 8, 1, 4), "8 bits without room for a palette");
  ExpectUnreadable(PcxHeader(30000, 30000, 8, 3, 30001), "frame over 1 GiB");
}

void PngChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
  const auto length = static_cast<uint32_t>(data.size());
  for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<uint8_t>(length >> shift));
  const size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  const uint32_t crc = static_cast<uint32_t>(crc32(0, &png[start], static_cast<uInt>(png.size() - start)));
  for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<uint8_t>(crc >> shift));
}

std::vector<uint8_t> BigEndian32(uint32_t a, uint32_t b) {
  return {uint8_t(a >> 24), uint8_t(a >> 16), uint8_t(a >> 8), uint8_t(a),
          uint8_t(b >> 24), uint8_t(b >> 16), uint8_t(b >> 8), uint8_t(b)};
}

// A 2 × 2 palette PNG whose PLTE holds `entries` colours.
std::vector<uint8_t> PalettePng(int entries, uint32_t width = 2, uint32_t height = 2) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> ihdr = BigEndian32(width, height);
  ihdr.insert(ihdr.end(), {8, 3, 0, 0, 0});  // 8 bits, palette, deflate, adaptive, no interlace
  PngChunk(png, "IHDR", ihdr);
  PngChunk(png, "PLTE", std::vector<uint8_t>(static_cast<size_t>(entries) * 3, 0x80));
  const uint8_t raw[] = {0, 0, 1, 0, 1, 0};  // two rows: filter byte, two indices
  uLongf size = compressBound(sizeof raw);
  std::vector<uint8_t> idat(size);
  compress(idat.data(), &size, raw, sizeof raw);
  idat.resize(size);
  PngChunk(png, "IDAT", idat);
  PngChunk(png, "IEND", {});
  return png;
}

TEST_F(MalformedTest, Png) {
  {
    const fs::path ok = WorkPath("palette.png");
    WriteBytes(ok, PalettePng(2));
    ImageBuffer image;
    ASSERT_EQ(LoadImageFile(ok.c_str(), image), kConverted) << "the intact file must read";
  }
  ExpectUnreadable(PalettePng(257), "257 palette entries");
  ExpectUnreadable(PalettePng(2, 900000, 900000), "900000 x 900000");
  std::vector<uint8_t> cut = PalettePng(2);
  cut.resize(cut.size() - 20);
  ExpectUnreadable(cut, "cut inside the image data");
  std::vector<uint8_t> badCrc = PalettePng(2);
  badCrc[30] ^= 0xFF;
  ExpectUnreadable(badCrc, "IHDR checksum wrong");
  const fs::path ppm = WorkPath("p.ppm"), grey16 = WorkPath("grey16.png");
  WritePpm(ppm, TestPattern(4, 4));
  ASSERT_TRUE(Pillow("png-grey16", ppm, grey16));
  ExpectUnreadable(ReadBytes(grey16), "16-bit samples");
}

TEST_F(MalformedTest, Jpeg) {
  const fs::path ppm = WorkPath("j.ppm"), jpeg = WorkPath("j.jpg");
  WritePpm(ppm, TestPattern(256, 256));  // a scan of many kilobytes
  ASSERT_TRUE(RunTool("cjpeg -outfile " + Quote(jpeg) + " " + Quote(ppm)));
  const std::vector<uint8_t> whole = ReadBytes(jpeg);
  ASSERT_GT(whole.size(), 8000u);
  // libjpeg would carry on with a grey bottom; a cut file is not a picture.
  ExpectUnreadable(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2)),
                   "cut in the middle of the scan");
  ExpectUnreadable(std::vector<uint8_t>(whole.begin(), whole.begin() + 200), "cut in the headers");
  // The frame header claims 65000 × 65000.
  std::vector<uint8_t> huge = whole;
  for (size_t i = 2; i + 9 < huge.size(); ++i) {
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      huge[i + 5] = huge[i + 7] = 0xFD;
      huge[i + 6] = huge[i + 8] = 0xE8;
      break;
    }
  }
  ExpectUnreadable(huge, "65000 x 65000 frame");
  ExpectUnreadable({0xFF, 0xD8, 0xFF}, "marker and nothing else");
}

TEST_F(MalformedTest, JpegScansBeyondTheCap) {
  const fs::path ppm = WorkPath("s.ppm"), jpeg = WorkPath("s.jpg");
  WritePpm(ppm, TestPattern(16, 16));
  ASSERT_TRUE(RunTool("cjpeg -progressive -outfile " + Quote(jpeg) + " " + Quote(ppm)));
  const std::vector<uint8_t> file = ReadBytes(jpeg);
  // The first scan runs from its SOS marker to the next marker that is
  // neither a stuffed byte nor a restart marker.
  size_t first = 2;
  while (first + 1 < file.size() && !(file[first] == 0xFF && file[first + 1] == 0xDA)) ++first;
  size_t end = first + 2;
  while (end + 1 < file.size() &&
         !(file[end] == 0xFF && file[end + 1] != 0 && (file[end + 1] < 0xD0 || file[end + 1] > 0xD7))) {
    ++end;
  }
  ASSERT_LT(end + 1, file.size());
  // The file up to its first scan, then that scan again until there are
  // `scans` of them.
  auto withScans = [&](int scans) {
    std::vector<uint8_t> many(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(end));
    for (int i = 1; i < scans; ++i) many.insert(many.end(), file.begin() + first, file.begin() + end);
    many.insert(many.end(), {0xFF, 0xD9});
    return many;
  };
  ExpectUnreadable(withScans(runtime::jpeg::kMaxScans + 1), "one scan over the cap");
  const fs::path atCap = WorkPath("at-cap.jpg");
  WriteBytes(atCap, withScans(runtime::jpeg::kMaxScans));
  ImageBuffer image;
  EXPECT_EQ(LoadImageFile(atCap.c_str(), image), kConverted) << "at the cap";
  EXPECT_EQ(image.Width(), 16);
}

// libtiff's complaints must not reach the terminal.
TEST_F(MalformedTest, TiffQuietly) {
  const fs::path ppm = WorkPath("t.ppm"), tiff = WorkPath("t.tif");
  WritePpm(ppm, TestPattern(40, 40));
  ASSERT_TRUE(RunTool(kConvert + " " + Quote(ppm) + " -compress none " + Quote(tiff)));
  const std::vector<uint8_t> whole = ReadBytes(tiff);

  ::testing::internal::CaptureStderr();
  ExpectUnreadable({'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F}, "first directory offset past the end");
  ExpectUnreadable({'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 1, 0, 0, 4, 0, 0, 0, 1, 0, 0}, "directory with one broken tag");
  // ImageMagick puts the directory after the pixels: move it in front of them.
  uint32_t directory = 0;
  std::memcpy(&directory, &whole[4], 4);
  ASSERT_GT(directory, 4800u) << "the sample's directory must follow its pixels";
  std::vector<uint8_t> moved(whole.begin(), whole.begin() + 8);
  const uint32_t newDirectory = 8;
  std::memcpy(&moved[4], &newDirectory, 4);
  moved.insert(moved.end(), whole.begin() + directory, whole.end());
  ExpectUnreadable(moved, "directory moved away from its values");
  // One of many strips points past the end of the file. libtiff carries on
  // past the missing rows, but what it reported still fails the read.
  const fs::path strips = WorkPath("strips.tif");
  ASSERT_TRUE(RunTool("tiffcp -r 4 " + Quote(tiff) + " " + Quote(strips)));
  std::vector<uint8_t> lost = ReadBytes(strips);
  ASSERT_EQ(lost[0], 'I');
  uint32_t ifd = 0;
  std::memcpy(&ifd, &lost[4], 4);
  uint16_t entries = 0;
  std::memcpy(&entries, &lost[ifd], 2);
  bool patched = false;
  for (uint16_t e = 0; e < entries; ++e) {
    const size_t at = ifd + 2 + e * 12u;  // tag, type, count, value or offset
    uint16_t tag = 0, type = 0;
    uint32_t count = 0, values = 0;
    std::memcpy(&tag, &lost[at], 2);
    std::memcpy(&type, &lost[at + 2], 2);
    std::memcpy(&count, &lost[at + 4], 4);
    std::memcpy(&values, &lost[at + 8], 4);
    if (tag == 273 && type == 4 && count == 10) {  // StripOffsets as LONGs
      const uint32_t pastTheEnd = 0x7FFFFFF0;
      std::memcpy(&lost[values + 4 * 7], &pastTheEnd, 4);
      patched = true;
    }
  }
  ASSERT_TRUE(patched);
  ExpectUnreadable(lost, "a strip past the end of the file");
  // Pillow puts the directory first: cut its one strip short.
  const fs::path large = WorkPath("large.ppm"), pillow = WorkPath("pillow.tif");
  WritePpm(large, TestPattern(256, 256));  // several strips of 64 KiB
  ASSERT_TRUE(Pillow("tiff-rgb", large, pillow));
  const std::vector<uint8_t> front = ReadBytes(pillow);
  std::memcpy(&directory, &front[4], 4);
  ASSERT_LT(directory, 1000u) << "the sample's directory must come first";
  ExpectUnreadable(std::vector<uint8_t>(front.begin(), front.end() - 2000), "strips cut short");
  const std::string printed = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(printed, "");
}

TEST_F(MalformedTest, PhotoCdTooShort) {
  ExpectUnreadable(std::vector<uint8_t>(0x30000 + 1000, 0), "shorter than its class needs");
}

// Every file kept in malformed/: inputs that once crashed or misbehaved.
TEST_F(MalformedTest, KeptFiles) {
  const fs::path folder = fs::path(TESSELLON_TEST_DATA) / "malformed";
  int files = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().filename() == "README.md") continue;
    ++files;
    ExpectUnreadable(ReadBytes(entry.path()), entry.path().filename().string());
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace runtime::imageconv
