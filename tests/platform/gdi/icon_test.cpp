// Icons from icon-file images: files written by an independent encoder
// (ImageMagick, run at test time), hand-built DIB images with AND masks, and
// truncated or inconsistent data that must be refused without harm.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "gdi_test_util.h"
#include "platform/gdi/icons/icon.h"

using namespace gdi_test;

namespace {

constexpr const char* kConvert = "/usr/bin/convert";
constexpr const char* kPython = "/usr/bin/python3";
constexpr uint32_t kVersion = 0x00030000;

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// The first image of an icon file and its directory width and height.
struct IcoImage {
  std::vector<uint8_t> bytes;
  int width = 0;
  int height = 0;
};

IcoImage FirstImage(const std::vector<uint8_t>& file) {
  IcoImage image;
  if (file.size() < 22) return image;
  image.width = file[6] ? file[6] : 256;
  image.height = file[7] ? file[7] : 256;
  const uint32_t size = Le32(file, 14), offset = Le32(file, 18);
  if (offset > file.size() || size > file.size() - offset) return image;
  image.bytes.assign(file.begin() + offset, file.begin() + offset + size);
  return image;
}

class IconFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kConvert)) GTEST_SKIP() << "no ImageMagick";
    dir_ = std::filesystem::temp_directory_path() / ("gdi_icons_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }
  IcoImage Make(const std::string& name, const std::string& arguments) {
    const auto path = dir_ / name;
    const std::string command = std::string(kConvert) + " " + arguments + " " + path.string() + " 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return FirstImage(ReadFile(path));
  }
  std::filesystem::path dir_;
};

HICON Create(const IcoImage& image, int cx = 0, int cy = 0) {
  return CreateIconFromResourceEx(image.bytes.data(), static_cast<uint32_t>(image.bytes.size()), TRUE, kVersion, cx, cy,
                                  0);
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

}  // namespace

TEST_F(IconFiles, ThirtyTwoBitAlphaBlendsOverTheTarget) {
  // Left half red at alpha 50 %, right half opaque blue, on a grey target.
  const IcoImage image = Make("alpha.ico",
                              "-size 16x16 xc:none -fill 'rgba(255,0,0,0.5)' -draw 'rectangle 0,0 7,15' "
                              "-fill blue -draw 'rectangle 8,0 15,15'");
  ASSERT_GE(image.bytes.size(), 40u);
  ASSERT_EQ(image.bytes[14], 32) << "the encoder should have written 32 bits per pixel";
  HICON icon = Create(image, 16, 16);
  ASSERT_NE(icon, 0u);
  Canvas c(20, 20, RGB(100, 100, 100));
  ASSERT_TRUE(DrawIconEx(c.dc(), 2, 2, icon, 16, 16, 0, 0, DI_NORMAL));
  // 0.5 * 255 + 0.5 * 100 = 177.5; 0.5 * 100 = 50 (alpha 127 or 128).
  EXPECT_TRUE(Near(c.At(3, 3), RGB(177, 50, 50), 1)) << std::hex << c.At(3, 3);
  EXPECT_EQ(c.At(12, 12), RGB(0, 0, 255));
  EXPECT_EQ(c.At(1, 1), RGB(100, 100, 100));
  EXPECT_EQ(c.At(18, 18), RGB(100, 100, 100));
  // Drawn at twice the size, each icon pixel covers 2 x 2 target pixels.
  Canvas big(32, 32, RGB(0, 0, 0));
  DrawIconEx(big.dc(), 0, 0, icon, 32, 32, 0, 0, DI_NORMAL);
  EXPECT_EQ(big.At(16, 0), RGB(0, 0, 255));
  EXPECT_TRUE(Near(big.At(15, 31), RGB(127, 0, 0), 1));
  SIZE size;
  EXPECT_TRUE(GetIconSize(icon, &size));
  EXPECT_EQ(size.cx, 16);
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
}

TEST_F(IconFiles, PalettedImagesWithMask) {
  // Two colours: the encoder writes a 1-bit image and an all-zero mask.
  const IcoImage two = Make("two.ico", "-size 16x16 xc:red -fill blue -draw 'rectangle 8,0 15,15' -type palette");
  ASSERT_GE(two.bytes.size(), 40u);
  EXPECT_EQ(two.bytes[14], 1);
  HICON icon = Create(two);
  ASSERT_NE(icon, 0u);
  Canvas c(16, 16, RGB(9, 9, 9));
  DrawIconEx(c.dc(), 0, 0, icon, 0, 0, 0, 0, DI_NORMAL);
  EXPECT_EQ(c.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(c.At(15, 15), RGB(0, 0, 255));
  DestroyIcon(icon);
}

TEST_F(IconFiles, EightAndTwentyFourBitImagesFromASecondEncoder) {
  if (!std::filesystem::exists(kPython)) GTEST_SKIP() << "no Pillow";
  // A grey ramp, black at the top and white at the bottom, as 8 and 24 bits.
  for (const auto& [mode, bits] : {std::pair{"P", 8}, std::pair{"RGB", 24}}) {
    const auto path = dir_ / (std::string(mode) + ".ico");
    const auto scriptPath = dir_ / "make_icon.py";
    std::ofstream(scriptPath) << "from PIL import Image\n"
                              << "im = Image.linear_gradient('L').resize((32, 32)).convert('" << mode << "')\n"
                              << "im.save('" << path.string() << "', sizes=[(32, 32)], bitmap_format='bmp')\n";
    const std::string command = std::string(kPython) + " " + scriptPath.string() + " 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const IcoImage image = FirstImage(ReadFile(path));
    ASSERT_GE(image.bytes.size(), 40u);
    EXPECT_EQ(image.bytes[14], bits);
    HICON icon = Create(image);
    ASSERT_NE(icon, 0u) << bits;
    Canvas g(32, 32, RGB(0, 0, 255));
    DrawIconEx(g.dc(), 0, 0, icon, 0, 0, 0, 0, DI_NORMAL);
    EXPECT_LT(GetRValue(g.At(0, 0)), 16) << bits;
    EXPECT_GT(GetRValue(g.At(0, 31)), 239) << bits;
    EXPECT_EQ(GetRValue(g.At(5, 16)), GetBValue(g.At(5, 16))) << "grey, nothing of the target shows";
    DestroyIcon(icon);
  }
}

TEST_F(IconFiles, PngImagesInsideIconFiles) {
  const IcoImage image = Make("png.ico", "-size 256x256 xc:none -fill lime -draw 'rectangle 0,0 127,255'");
  ASSERT_GE(image.bytes.size(), 8u);
  ASSERT_EQ(image.bytes[1], 'P') << "the encoder should have stored PNG";
  HICON icon = Create(image);
  ASSERT_NE(icon, 0u);
  Canvas c(64, 64, RGB(200, 0, 0));
  DrawIconEx(c.dc(), 0, 0, icon, 64, 64, 0, 0, DI_NORMAL);
  EXPECT_EQ(c.At(10, 10), RGB(0, 255, 0));
  EXPECT_EQ(c.At(50, 10), RGB(200, 0, 0));  // transparent half
  DestroyIcon(icon);
  // Every truncation of the PNG is refused (or, at worst, read) without harm.
  for (size_t n = 0; n < image.bytes.size(); n += 7) {
    HICON partial = CreateIconFromResourceEx(image.bytes.data(), static_cast<uint32_t>(n), TRUE, kVersion, 0, 0, 0);
    if (partial) DestroyIcon(partial);
  }
}

namespace {

// A 2 x 2 4-bit icon image: header, 16-entry table, colour rows, mask rows.
std::vector<uint8_t> FourBitIcon() {
  std::vector<uint8_t> b;
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto put16 = [&](uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
  };
  put32(40);  // biSize
  put32(2);   // width
  put32(4);   // height: colour rows and mask rows
  put16(1);   // planes
  put16(4);   // bits per pixel
  put32(0);   // BI_RGB
  put32(0);   // image size (unused)
  put32(0);
  put32(0);
  put32(0);  // colours used: all 16
  put32(0);
  for (int i = 0; i < 16; ++i) put32(0);
  b[40 + 4 * 1 + 2] = 0xFF;  // colour 1: red (blue, green, red, 0)
  b[40 + 4 * 2 + 0] = 0xFF;  // colour 2: blue
  // Colour rows bottom-up, 4 bytes each: bottom row (2, 0), top row (1, 0).
  for (uint8_t v : {0x20, 0, 0, 0, 0x10, 0, 0, 0}) b.push_back(v);
  // Mask rows bottom-up: bottom row 01 (right pixel keeps the target), top row 01.
  for (uint8_t v : {0x40, 0, 0, 0, 0x40, 0, 0, 0}) b.push_back(v);
  return b;
}

}  // namespace

TEST(HandBuiltIcons, MaskKeepsAndColourXors) {
  std::vector<uint8_t> data = FourBitIcon();
  HICON icon = CreateIconFromResourceEx(data.data(), static_cast<uint32_t>(data.size()), TRUE, kVersion, 0, 0, 0);
  ASSERT_NE(icon, 0u);
  Canvas c(2, 2, RGB(0, 200, 0));
  DrawIconEx(c.dc(), 0, 0, icon, 0, 0, 0, 0, DI_NORMAL);
  EXPECT_EQ(c.At(0, 0), RGB(255, 0, 0));  // mask 0: the colour
  EXPECT_EQ(c.At(0, 1), RGB(0, 0, 255));
  EXPECT_EQ(c.At(1, 0), RGB(0, 200, 0));  // mask 1, colour black: unchanged
  // Mask 1 with a non-black colour inverts through XOR.
  data[40 + 16 * 4 + 4] = 0x12;  // top row: pixels 1 and 2
  HICON xorIcon = CreateIconFromResourceEx(data.data(), static_cast<uint32_t>(data.size()), TRUE, kVersion, 0, 0, 0);
  Canvas x(2, 2, RGB(255, 255, 0));
  DrawIconEx(x.dc(), 0, 0, xorIcon, 0, 0, 0, 0, DI_NORMAL);
  EXPECT_EQ(x.At(1, 0), RGB(255, 255, 255));  // (255,255,0) xor blue
  DestroyIcon(icon);
  DestroyIcon(xorIcon);
}

TEST(HandBuiltIcons, CursorDataSkipsTheHotSpot) {
  std::vector<uint8_t> data = {3, 0, 4, 0};  // hot spot (3, 4)
  const std::vector<uint8_t> image = FourBitIcon();
  data.insert(data.end(), image.begin(), image.end());
  HICON cursor = CreateIconFromResourceEx(data.data(), static_cast<uint32_t>(data.size()), FALSE, kVersion, 0, 0, 0);
  ASSERT_NE(cursor, 0u);
  ICONINFO info;
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_FALSE(info.fIcon);
  BITMAP mask;
  GetObjectA(info.hbmMask, sizeof mask, &mask);
  EXPECT_EQ(mask.bmBitsPixel, 1);
  EXPECT_EQ(mask.bmHeight, 2);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  DestroyIcon(cursor);
}

TEST(HandBuiltIcons, TruncatedAndInconsistentDataIsRefused) {
  const std::vector<uint8_t> good = FourBitIcon();
  // Every proper prefix lacks part of the mask or more.
  for (size_t n = 0; n < good.size(); ++n)
    EXPECT_EQ(CreateIconFromResourceEx(good.data(), static_cast<uint32_t>(n), TRUE, kVersion, 0, 0, 0), 0u) << n;
  auto refused = [&](auto change, const char* why) {
    std::vector<uint8_t> bad = good;
    change(bad);
    EXPECT_EQ(CreateIconFromResourceEx(bad.data(), static_cast<uint32_t>(bad.size()), TRUE, kVersion, 0, 0, 0), 0u)
        << why;
  };
  refused([](std::vector<uint8_t>& b) { b[8] = 3; }, "odd height");
  refused([](std::vector<uint8_t>& b) { b[11] = 0x80; }, "negative height");
  refused(
      [](std::vector<uint8_t>& b) {
        b[4] = 0xFF;
        b[5] = 0xFF;
        b[6] = 0xFF;
        b[7] = 0x7F;
      },
      "huge width");
  refused(
      [](std::vector<uint8_t>& b) {
        b[0] = 0xFF;
        b[1] = 0xFF;
      },
      "header size past the data");
  refused([](std::vector<uint8_t>& b) { b[14] = 16; }, "16 bits");
  refused([](std::vector<uint8_t>& b) { b[32] = 200; }, "more colours than the depth has");
  EXPECT_EQ(CreateIconFromResourceEx(good.data(), static_cast<uint32_t>(good.size()), TRUE, 0x00010000, 0, 0, 0), 0u);
  EXPECT_EQ(CreateIconFromResourceEx(nullptr, 100, TRUE, kVersion, 0, 0, 0), 0u);
}

TEST(HandBuiltIcons, RandomDamageNeverReadsOutOfBounds) {
  // Under the sanitizers this shows every read stays inside the data.
  const std::vector<uint8_t> good = FourBitIcon();
  uint32_t state = 1;
  auto next = [&] { return state = state * 1103515245u + 12345u, state >> 16; };
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> bad = good;
    for (int k = 0, n = 1 + next() % 4; k < n; ++k) bad[next() % bad.size()] = static_cast<uint8_t>(next());
    bad.resize(next() % (bad.size() + 1));
    // An exactly sized heap copy, so a read past the end is caught.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bad.size() + 1]);
    std::memcpy(exact.get(), bad.data(), bad.size());
    HICON icon = CreateIconFromResourceEx(exact.get(), static_cast<uint32_t>(bad.size()), TRUE, kVersion,
                                          static_cast<int>(next() % 40), static_cast<int>(next() % 40), 0);
    if (icon) {
      Canvas c(8, 8);
      DrawIconEx(c.dc(), -3, -3, icon, 0, 0, 0, 0, DI_NORMAL);
      DestroyIcon(icon);
    }
  }
}
