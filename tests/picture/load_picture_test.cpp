#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "runtime/core/notify.h"
#include "runtime/core/picture_registry.h"
#include "runtime/picture/formats/picture_decode.h"
#include "runtime/picture/table/load_picture_command.h"
#include "runtime/picture/table/picture_table.h"
#include "test_support.h"

namespace picture_test {

using runtime::picture::table::DecodePicture;
using runtime::picture::table::InstalledPictureTable;
using runtime::picture::table::InstallPictureTable;
using runtime::picture::table::LoadPicture;
using runtime::picture::table::PictureFromHandle;
namespace {

namespace fs = std::filesystem;
using runtime::ArgRecord;
using runtime::picture::table::InstalledPictureTable;
using runtime::picture::table::LoadPicture;
using runtime::picture::table::PictureFromHandle;

class LoadPictureTest : public testing::Test {
 protected:
  void SetUp() override {
    runtime::picture::table::InstallPictureTable();
    ASSERT_NE(InstalledPictureTable(), nullptr);
  }
  void TearDown() override { runtime::InstalledPictureRegistry()->DestroyAll(); }

  // A byte array block: int32 1, int32 length, bytes.
  static Bytes ByteArray(const Bytes& data) {
    ByteWriter w;
    w.U32(1).U32(static_cast<uint32_t>(data.size())).Raw(data);
    return w.bytes;
  }

  int32_t Load(ArgRecord arg) {
    ArgRecord result = ArgRecord::Int(-1);
    LoadPicture(&result, 1, &arg);
    EXPECT_EQ(result.tag, runtime::TypeInt);
    return result.AsInt();
  }

  fs::path TempFile(const std::string& name, const Bytes& bytes) {
    const fs::path dir = fs::temp_directory_path() / ("picture_test_" + std::to_string(getpid()));
    fs::create_directories(dir);
    WriteFile(dir / name, bytes);
    return dir / name;
  }
};

TEST_F(LoadPictureTest, BytesDecodeIntoARegisteredPicture) {
  const Bytes block = ByteArray(Sample("pil_24.bmp"));
  const int32_t handle = Load(ArgRecord::Bytes(block.data()));
  ASSERT_NE(handle, 0);
  runtime::picture::Picture* p = PictureFromHandle(static_cast<uint32_t>(handle));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->kind, 2);
  EXPECT_EQ(runtime::NotifyRuntime(runtime::notify::kIsPictureRegistered, reinterpret_cast<intptr_t>(p), 0), 1);
  // A second load of the same bytes is a new picture with its own handle.
  EXPECT_NE(Load(ArgRecord::Bytes(block.data())), handle);
}

TEST_F(LoadPictureTest, EmptyAbsentOrOtherArgumentsGiveZeroAndRegisterNothing) {
  const Bytes empty = ByteArray({});
  Bytes negative = ByteArray(Sample("pil_24.bmp"));
  negative[4] = 0xFF;
  negative[7] = 0xFF;  // a negative length
  EXPECT_EQ(Load(ArgRecord::Bytes(empty.data())), 0);
  EXPECT_EQ(Load(ArgRecord::Bytes(negative.data())), 0);
  EXPECT_EQ(Load(ArgRecord::Bytes(nullptr)), 0);
  EXPECT_EQ(Load(ArgRecord::Text(nullptr)), 0);
  EXPECT_EQ(Load(ArgRecord::Text("")), 0);
  EXPECT_EQ(Load(ArgRecord::Int(5)), 0);
  EXPECT_EQ(Load(ArgRecord{}), 0);
  const Bytes junk = ByteArray({1, 2, 3, 4, 5, 6, 7, 8, 9});
  EXPECT_EQ(Load(ArgRecord::Bytes(junk.data())), 0);
  ArgRecord result = ArgRecord::Int(-1);
  LoadPicture(&result, 0, nullptr);
  EXPECT_EQ(result.AsInt(), 0);
  EXPECT_EQ(InstalledPictureTable()->Count(), 0u);
}

TEST_F(LoadPictureTest, FilesAreReadByPathAndTheirContentDecidesTheKind) {
  // JPEG data under a PNG name.
  const fs::path path = TempFile("photo.png", Sample("cj.jpg"));
  const int32_t handle = Load(ArgRecord::Text(path.c_str()));
  ASSERT_NE(handle, 0);
  EXPECT_EQ(PictureFromHandle(static_cast<uint32_t>(handle))->kind, 1);

  for (const char* name : {"pil.gif", "pil_8.pcx", "pil_rgba.png", "im_4.bmp"}) {
    const fs::path file = TempFile(name, Sample(name));
    EXPECT_NE(Load(ArgRecord::Text(file.c_str())), 0) << name;
  }
  EXPECT_EQ(Load(ArgRecord::Text((path.string() + ".missing").c_str())), 0);
  fs::remove_all(path.parent_path());
}

TEST_F(LoadPictureTest, TableRequestsTravelThroughTheRuntime) {
  using runtime::NotifyRuntime;
  namespace notify = runtime::notify;
  auto* p = runtime::picture::table::DecodePicture(Sample("pil_8.bmp").data(), 0);
  EXPECT_EQ(p, nullptr);
  const Bytes bmp = Sample("pil_8.bmp");
  p = runtime::picture::table::DecodePicture(bmp.data(), static_cast<int64_t>(bmp.size()));
  ASSERT_NE(p, nullptr);
  const auto address = reinterpret_cast<intptr_t>(p);
  EXPECT_EQ(NotifyRuntime(notify::kIsPictureRegistered, address, 0), 0);
  EXPECT_EQ(NotifyRuntime(notify::kIsPictureRegistered, 0, 0), 0);
  NotifyRuntime(notify::kRegisterPicture, address, 0);
  NotifyRuntime(notify::kRegisterPicture, address, 0);
  EXPECT_EQ(InstalledPictureTable()->Count(), 1u);
  EXPECT_EQ(NotifyRuntime(notify::kIsPictureRegistered, address, 0), 1);
  NotifyRuntime(notify::kReleasePicture, address, 0);  // destroys it
  EXPECT_EQ(InstalledPictureTable()->Count(), 0u);
  EXPECT_EQ(NotifyRuntime(notify::kIsPictureRegistered, address, 0), 0);
}

// A 24-bit BMP of 160 x 160 (75 KiB of pixels), every pixel its own shade.
Bytes LargeBmp(uint8_t seed) {
  constexpr uint32_t kSide = 160, kRow = kSide * 3, kPixels = kRow * kSide;
  ByteWriter w;
  w.Text("BM").U32(54 + kPixels).U32(0).U32(54);
  w.U32(40).U32(kSide).U32(kSide).U16(1).U16(24).U32(0).U32(kPixels).U32(0).U32(0).U32(0).U32(0);
  for (uint32_t i = 0; i < kPixels; ++i) w.U8((i * 7 + seed) & 0xFF);
  return w.bytes;
}

TEST_F(LoadPictureTest, DecodesOfEqualBytesShareOnePixelBlockWhileAnyOfThemLives) {
  using runtime::picture::PicturePtr;
  using runtime::picture::table::DecodePicture;
  const Bytes bytes = LargeBmp(1);
  Bytes other = LargeBmp(1);
  other.back() ^= 1;  // the same length, one pixel apart
  auto decode = [](const Bytes& b) { return PicturePtr(DecodePicture(b.data(), static_cast<int64_t>(b.size()))); };

  PicturePtr first = decode(bytes);
  ASSERT_TRUE(first && first->pixels);
  const Bytes expected = ToRgb(*first);
  PicturePtr second = decode(bytes);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->pixels, first->pixels);
  EXPECT_EQ(second->width, 160);
  PicturePtr different = decode(other);
  ASSERT_TRUE(different);
  EXPECT_NE(different->pixels, first->pixels);
  EXPECT_NE(ToRgb(*different), expected);

  // The first picture goes; the second keeps the pixels whole (under the
  // address sanitizer a freed block would be caught here).
  first.reset();
  EXPECT_EQ(ToRgb(*second), expected);
  const int32_t handle = Load(ArgRecord::Bytes(ByteArray(bytes).data()));
  ASSERT_NE(handle, 0);
  EXPECT_EQ(PictureFromHandle(static_cast<uint32_t>(handle))->pixels, second->pixels);
  runtime::NotifyRuntime(runtime::notify::kReleasePicture,
                         reinterpret_cast<intptr_t>(PictureFromHandle(static_cast<uint32_t>(handle))), 0);
  EXPECT_EQ(ToRgb(*second), expected);
  second.reset();
  different.reset();
  EXPECT_EQ(InstalledPictureTable()->Decodes().LiveCount(), 0u);
  PicturePtr again = decode(bytes);
  ASSERT_TRUE(again);
  EXPECT_EQ(ToRgb(*again), expected);
}

}  // namespace
}  // namespace picture_test
