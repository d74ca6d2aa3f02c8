// Whole sessions of the tool: photographs dropped on its boxes offscreen, and
// what it leaves beside itself.
#include <png.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include <fstream>
#include <iterator>

#include "bench/gdi/jpeg_roundtrip.h"
#include "tool_run.h"

namespace {

using namespace tool_test;

const fs::path kAssets = fs::path(TESSELLON_TEST_DATA) / "../../assets";
constexpr int kCanvas = 2160;
constexpr int kSquare = 815;
const char kOutput[] = "\xE7\xBB\x86\xE8\x8A\x82.jpg";  // 细节.jpg as the file system names it

struct Image {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  const uint8_t* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

Image Decode(const fs::path& path) {
  Image image;
  std::ifstream file(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (!bench::DecodeJpeg(bytes, image.rgb, image.width, image.height)) image = Image{};
  return image;
}

Image ReadPng(const fs::path& path) {
  Image image;
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return image;
  png.format = PNG_FORMAT_RGB;
  image.rgb.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) return Image{};
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  return image;
}

// Mean absolute difference over a grid of points of a square of the canvas
// against `expected(x, y)` for square-relative coordinates.
template <class Expected>
double MeanDifference(const Image& canvas, int left, int top, int size, Expected expected) {
  double sum = 0;
  int count = 0;
  for (int y = 8; y < size - 8; y += 23) {
    for (int x = 8; x < size - 8; x += 23) {
      const uint8_t* got = canvas.At(left + x, top + y);
      const auto want = expected(x, y);
      for (int c = 0; c < 3; ++c) sum += std::abs(int(got[c]) - int(want[c]));
      count += 3;
    }
  }
  return sum / count;
}

// The photograph's area average over the part of it a canvas pixel covers.
std::array<int, 3> Stretched(const Image& photo, int x, int y, int size) {
  const int x0 = x * photo.width / size, x1 = std::max(x0 + 1, (x + 1) * photo.width / size);
  const int y0 = y * photo.height / size, y1 = std::max(y0 + 1, (y + 1) * photo.height / size);
  std::array<long, 3> sum{};
  for (int yy = y0; yy < y1; ++yy)
    for (int xx = x0; xx < x1; ++xx)
      for (int c = 0; c < 3; ++c) sum[c] += photo.At(xx, yy)[c];
  const long n = static_cast<long>(x1 - x0) * (y1 - y0);
  return {int(sum[0] / n), int(sum[1] / n), int(sum[2] / n)};
}

struct Square {
  const char* point;
  int left, top;
};
constexpr Square kSquares[] = {{"115,163", 150, 355}, {"363,163", 1217, 355}, {"115,363", 150, 1284}};

class Session : public ToolRun {
 protected:
  void SetUp() override {
    ToolRun::SetUp();
    fs::create_directory(dir_ / "tmp");
    for (const char* name : {"sample1.jpg", "sample2.jpg", "sample3.jpg"})
      fs::copy_file(kAssets / "samples" / name, dir_ / name);
  }
  Outcome Drops(const std::string& drops, const fs::path& where = {}, const std::string& prefix = {}) {
    return Start("--platform offscreen " + drops, where, "TMPDIR='" + (dir_ / "tmp").string() + "' " + prefix);
  }
  // The canvas must hold the background except where a photograph was put.
  void ExpectComposition(const fs::path& output, const std::vector<std::pair<int, const char*>>& placed) {
    const Image canvas = Decode(output);
    ASSERT_EQ(canvas.width, kCanvas);
    ASSERT_EQ(canvas.height, kCanvas);
    static const Image background = Decode(kAssets / "background.jpg");
    for (int k = 0; k < 3; ++k) {
      const Square& s = kSquares[k];
      const char* photo = nullptr;
      for (auto [box, name] : placed)
        if (box == k) photo = name;
      if (photo) {
        const Image image = Decode(dir_ / photo);
        EXPECT_LT(MeanDifference(canvas, s.left, s.top, kSquare,
                                 [&](int x, int y) { return Stretched(image, x, y, kSquare); }),
                  8.0)
            << "square " << k + 1 << " should hold " << photo;
      } else {
        EXPECT_LT(MeanDifference(canvas, s.left, s.top, kSquare,
                                 [&](int x, int y) {
                                   const uint8_t* p = background.At(s.left + x, s.top + y);
                                   return std::array<int, 3>{p[0], p[1], p[2]};
                                 }),
                  6.0)
            << "square " << k + 1 << " should show the background";
      }
    }
  }
  void ExpectNothingLeftBehind() {
    EXPECT_FALSE(fs::exists(dir_ / "emp.jpg"));
    EXPECT_TRUE(fs::is_empty(dir_ / "tmp")) << "a pixel-store file was left";
  }
};

TEST_F(Session, ThreeDropsComposeTheDetailPicture) {
  Outcome run = Drops("--drop 115,163 sample1.jpg --drop 363,163 sample2.jpg --drop 115,363 sample3.jpg");
  ASSERT_EQ(run.status, 0) << run.output;
  ExpectComposition(dir_ / kOutput, {{0, "sample1.jpg"}, {1, "sample2.jpg"}, {2, "sample3.jpg"}});
  ExpectNothingLeftBehind();
}

TEST_F(Session, TheLastPictureOfABoxWinsAndBadDropsKeepTheComposition) {
  fs::copy_file(kAssets / "LICENSE-GPL-2.txt", dir_ / "not-a-picture.jpg");
  // Box 1 twice, then a file that is not a picture on box 2, a missing one on
  // box 3, and two files at once on box 3: only sample2 stays, in square 1.
  Outcome run = Drops(
      "--drop 115,163 sample1.jpg --drop 115,163 sample2.jpg --drop 363,163 not-a-picture.jpg "
      "--drop 115,363 missing.jpg --drop 115,363 sample1.jpg sample3.jpg");
  ASSERT_EQ(run.status, 0) << run.output;
  ExpectComposition(dir_ / kOutput, {{0, "sample2.jpg"}});
  ExpectNothingLeftBehind();
}

TEST_F(Session, ChineseNamesForTheProgramDirectoryAndThePhotograph) {
  const fs::path home = dir_ / "\xE7\xA8\x8B\xE5\xBA\x8F";  // 程序
  fs::create_directory(home);
  fs::copy_file(dir_ / "tessellon", home / "tessellon");
  fs::copy_file(dir_ / "sample2.jpg", home / "\xE7\x85\xA7\xE7\x89\x87.jpg");  // 照片.jpg
  Outcome run = Drops("--drop 363,163 \xE7\x85\xA7\xE7\x89\x87.jpg", home);
  ASSERT_EQ(run.status, 0) << run.output;
  fs::copy_file(home / "\xE7\x85\xA7\xE7\x89\x87.jpg", dir_ / "photo.jpg");
  ExpectComposition(home / kOutput, {{1, "photo.jpg"}});
  EXPECT_FALSE(fs::exists(home / "emp.jpg"));
}

// A photograph named in raw GBK bytes, as an old archive unpacks on a UTF-8
// system: box 1 shows it (its 182-pixel square of the screenshot holds the
// photograph stretched) and the detail picture holds it in square 1.
TEST_F(Session, APhotographNamedInRawGbkBytesIsShownAndComposed) {
  const char raw[] = "gbk-\xCF\xB8\xBD\xDA.jpg";  // 细节 in GBK: not UTF-8
  fs::copy_file(dir_ / "sample1.jpg", dir_ / raw);
  Outcome run = Drops(std::string("--drop 115,163 ") + raw + " --screenshot shot.png");
  ASSERT_EQ(run.status, 0) << run.output;
  ExpectComposition(dir_ / kOutput, {{0, raw}});
  ExpectNothingLeftBehind();

  const Image shot = ReadPng(dir_ / "shot.png");
  ASSERT_EQ(shot.width, 495);
  const Image photo = Decode(dir_ / raw);
  constexpr int kBoxLeft = 24, kBoxTop = 72, kBox = 182;
  EXPECT_LT(MeanDifference(shot, kBoxLeft, kBoxTop, kBox, [&](int x, int y) { return Stretched(photo, x, y, kBox); }),
            8.0);
}

TEST_F(Session, AProgramDirectoryThatCannotBeWrittenLeavesTheOldPictureWhole) {
  // An earlier composition, then a drop into a directory nobody may write.
  ASSERT_EQ(Drops("--drop 115,163 sample1.jpg").status, 0);
  const auto before = fs::file_size(dir_ / kOutput);
  using fs::perms;
  fs::permissions(dir_, perms::owner_read | perms::owner_exec | perms::group_read | perms::group_exec |
                            perms::others_read | perms::others_exec);
  fs::permissions(dir_ / "tmp", perms::all);
  // Root writes anywhere: run as an unprivileged user then.
  const std::string asUser = geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "";
  Outcome run = Drops("--drop 363,163 sample2.jpg", {}, asUser);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(fs::file_size(dir_ / kOutput), before);
  ExpectComposition(dir_ / kOutput, {{0, "sample1.jpg"}});
  ExpectNothingLeftBehind();
}

}  // namespace
