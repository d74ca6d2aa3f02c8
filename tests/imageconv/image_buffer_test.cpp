// The image buffer: shapes it refuses, its depth conversions worked out by
// hand, and the naming and lifetime of its pixel store files.
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "runtime/imageconv/image_buffer.h"
#include "support.h"

namespace runtime::imageconv {
namespace {

using testing::HeldStoreFiles;
using testing::StoreDirectory;
using testing::StoreFiles;

void Make24(ImageBuffer& image, std::initializer_list<std::array<uint8_t, 3>> pixels) {
  ASSERT_TRUE(image.Create(static_cast<int32_t>(pixels.size()), 1, 24, 0));
  uint8_t* out = image.Pixels();
  for (const auto& p : pixels) {
    std::memcpy(out, p.data(), 3);
    out += 3;
  }
}

std::vector<uint8_t> Bytes(const ImageBuffer& image) {
  return {image.Pixels(), image.Pixels() + image.Stride() * static_cast<size_t>(image.Height())};
}

TEST(ImageBufferCreate, RefusesBadShapesWithoutLeavingFiles) {
  ImageBuffer image;
  EXPECT_FALSE(image.Create(0, 10, 24, 0));
  EXPECT_FALSE(image.Create(10, -1, 24, 0));
  EXPECT_FALSE(image.Create(10, 10, 12, 0));
  EXPECT_FALSE(image.Create(10, 10, 8, -1));
  EXPECT_FALSE(image.Create(10, 10, 8, 257));
  // 1 GiB + one row is over the cap; 2^31 × 2^31 × 4 would wrap 64 bits.
  EXPECT_FALSE(image.Create(16384, 16385, 32, 0));
  EXPECT_FALSE(image.Create(INT32_MAX, INT32_MAX, 32, 0));
  EXPECT_FALSE(image.HoldsImage());
  EXPECT_EQ(image.Pixels(), nullptr);
  EXPECT_TRUE(StoreFiles().empty());
}

TEST(ImageBufferCreate, PaletteOnlyForEightBitsAndFileOnlyWhileHolding) {
  ImageBuffer image;
  ASSERT_TRUE(image.Create(10, 10, 24, 5));
  EXPECT_EQ(image.PaletteSize(), 0);
  EXPECT_EQ(image.Palette(), nullptr);
  EXPECT_EQ(HeldStoreFiles(), 1u);
  // A new shape replaces the old store rather than adding one.
  ASSERT_TRUE(image.Create(3, 2, 8, 5));
  EXPECT_EQ(image.PaletteSize(), 5);
  EXPECT_EQ(image.Stride(), 3u);
  EXPECT_EQ(HeldStoreFiles(), 1u);
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(image.Pixels()[i], 0) << "pixels start zeroed";
  image.Clear();
  EXPECT_EQ(HeldStoreFiles(), 0u);
  EXPECT_TRUE(StoreFiles().empty());
}

TEST(ImageBufferConvert, ToGreyAndSixteenBitsByHand) {
  ImageBuffer colour;
  Make24(colour, {{255, 255, 255}, {255, 0, 0}, {10, 200, 30}});
  ImageBuffer grey, packed, back;
  ASSERT_TRUE(colour.ConvertTo(grey, 8));
  EXPECT_EQ(grey.PaletteSize(), 0);
  // (306 × 255 + 601 × 255 + 117 × 255) >> 10 = 255; 306 × 255 >> 10 = 76;
  // (306 × 10 + 601 × 200 + 117 × 30) >> 10 = 126770 >> 10 = 123.
  EXPECT_EQ(Bytes(grey), (std::vector<uint8_t>{255, 76, 123}));

  ASSERT_TRUE(colour.ConvertTo(packed, 16));
  // White: 31 << 11 | 31 << 6 | 31 << 1 = 0xFFFE, bit 0 spare.
  // Red: 0xF800. (10, 200, 30): 1 << 11 | 25 << 6 | 3 << 1 = 0x0E46.
  EXPECT_EQ(Bytes(packed), (std::vector<uint8_t>{0xFE, 0xFF, 0x00, 0xF8, 0x46, 0x0E}));

  ASSERT_TRUE(packed.ConvertTo(back, 24));
  // Each channel reads back as its five bits followed by three zeros.
  EXPECT_EQ(Bytes(back), (std::vector<uint8_t>{248, 248, 248, 248, 0, 0, 8, 200, 24}));
  ImageBuffer greyFromPacked;
  ASSERT_TRUE(packed.ConvertTo(greyFromPacked, 8));
  EXPECT_EQ(greyFromPacked.Pixels()[0], 248);  // 1024 × 248 >> 10
  EXPECT_EQ(greyFromPacked.Pixels()[1], 74);   // 306 × 248 >> 10
}

TEST(ImageBufferConvert, AlphaAddedAndDropped) {
  ImageBuffer colour;
  Make24(colour, {{1, 2, 3}, {250, 251, 252}});
  ImageBuffer withAlpha, without;
  ASSERT_TRUE(colour.ConvertTo(withAlpha, 32));
  EXPECT_EQ(Bytes(withAlpha), (std::vector<uint8_t>{255, 1, 2, 3, 255, 250, 251, 252}));
  withAlpha.Pixels()[0] = 7;  // alpha never leaks into colour
  ASSERT_TRUE(withAlpha.ConvertTo(without, 24));
  EXPECT_EQ(Bytes(without), (std::vector<uint8_t>{1, 2, 3, 250, 251, 252}));
  ImageBuffer same;
  ASSERT_TRUE(withAlpha.ConvertTo(same, 32));
  EXPECT_EQ(Bytes(same), Bytes(withAlpha)) << "same depth is a plain copy";
}

TEST(ImageBufferConvert, EightBitSourcesThroughPaletteOrAsGrey) {
  ImageBuffer indexed;
  ASSERT_TRUE(indexed.Create(3, 1, 8, 2));
  const uint8_t entry0[] = {10, 20, 30}, entry1[] = {200, 100, 0};
  std::memcpy(indexed.Palette(), entry0, 3);
  std::memcpy(indexed.Palette() + kPaletteEntryBytes, entry1, 3);
  indexed.Pixels()[0] = 1;
  indexed.Pixels()[1] = 0;
  indexed.Pixels()[2] = 200;  // past the two entries: black, never a stray read
  ImageBuffer colour, grey, alpha;
  ASSERT_TRUE(indexed.ConvertTo(colour, 24));
  EXPECT_EQ(Bytes(colour), (std::vector<uint8_t>{200, 100, 0, 10, 20, 30, 0, 0, 0}));
  ASSERT_TRUE(indexed.ConvertTo(grey, 8));
  // (306 × 200 + 601 × 100) >> 10 = 121300 >> 10 = 118;
  // (3060 + 12020 + 3510) >> 10 = 18590 >> 10 = 18.
  EXPECT_EQ(Bytes(grey), (std::vector<uint8_t>{118, 18, 0}));

  ImageBuffer levels;
  ASSERT_TRUE(levels.Create(2, 1, 8, 0));
  levels.Pixels()[0] = 0;
  levels.Pixels()[1] = 77;
  ASSERT_TRUE(levels.ConvertTo(alpha, 32));
  EXPECT_EQ(Bytes(alpha), (std::vector<uint8_t>{255, 0, 0, 0, 255, 77, 77, 77}));
}

TEST(ImageBufferConvert, EmptySourceOrSelfFails) {
  ImageBuffer empty, target, image;
  Make24(image, {{1, 2, 3}});
  EXPECT_FALSE(empty.ConvertTo(target, 24));
  EXPECT_FALSE(target.Copy(empty));
  EXPECT_FALSE(image.ConvertTo(image, 8));
  ASSERT_TRUE(target.Copy(image));
  EXPECT_NE(target.Pixels(), image.Pixels());
  EXPECT_EQ(Bytes(target), Bytes(image));
}

// Everything in the temporary directory, by name.
std::set<std::string> TemporaryEntries() {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(StoreDirectory()))
    names.insert(entry.path().filename().string());
  return names;
}

// A store's file has no name from the moment it is open, so a process killed
// while it holds one leaves nothing behind. A file someone else left under
// the stores' prefix is neither used nor removed.
TEST(PixelStoreNames, NothingNamedStaysEvenWhenTheOwnerIsKilled) {
  std::ofstream(StoreDirectory() / "CSWCLASS0.tmp") << "not ours";
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ImageBuffer image;
    char held = '0';
    if (image.Create(300, 200, 24, 0)) {
      const size_t bytes = image.Stride() * 200;
      std::memset(image.Pixels(), 0xA5, bytes);
      // The mapping works on without a name, through to the file.
      if (image.Flush() && image.Pixels()[bytes - 1] == 0xA5 && image.StoreFileName().empty()) held = '1';
    }
    (void)!write(ready[1], &held, 1);
    pause();
    _exit(0);
  }
  char held = 0;
  ASSERT_EQ(read(ready[0], &held, 1), 1);
  EXPECT_EQ(held, '1');
  EXPECT_EQ(TemporaryEntries(), std::set<std::string>{"CSWCLASS0.tmp"}) << "while the store is held";
  kill(child, SIGKILL);
  ASSERT_EQ(waitpid(child, nullptr, 0), child);
  EXPECT_EQ(TemporaryEntries(), std::set<std::string>{"CSWCLASS0.tmp"}) << "after the kill";
  std::ifstream left(StoreDirectory() / "CSWCLASS0.tmp");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(left), {}), "not ours");
  for (int fd : ready) ::close(fd);
  for (const std::string& name : TemporaryEntries()) std::filesystem::remove(StoreDirectory() / name);
}

// Several processes creating and clearing stores at once: each store's file
// must hold what its owner wrote for as long as the owner holds it, which a
// file shared between stores would break.
TEST(PixelStoreNames, ProcessesNeverShareAStore) {
  constexpr int kProcesses = 4;
  constexpr int kRounds = 150;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failures = 0;
      for (int round = 0; round < kRounds; ++round) {
        ImageBuffer image;
        if (!image.Create(64, 64, 24, 0)) {
          ++failures;
          continue;
        }
        const uint32_t marker = static_cast<uint32_t>(getpid()) * 1000u + static_cast<uint32_t>(round);
        std::memcpy(image.Pixels(), &marker, sizeof marker);
        image.Flush();
        usleep(200);
        uint32_t held = 0;
        std::memcpy(&held, image.Pixels(), sizeof held);
        if (held != marker) ++failures;
        image.Clear();
      }
      _exit(failures == 0 ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a process lost its store";
  }
  EXPECT_TRUE(StoreFiles().empty());
}

}  // namespace
}  // namespace runtime::imageconv
