// The platform's file mapping calls as the pixel store relies on them.
#include <cstring>

#include <gtest/gtest.h>

#include "platform/files/file_mapping.h"
#include "platform/files/files.h"
#include "support.h"

namespace runtime::imageconv {
namespace {

using namespace platform;
using testing::ReadBytes;
using testing::WorkPath;

TEST(FileMapping, ExtendsTheFileAndOutlivesItsHandles) {
  const std::string name = WorkPath("mapped.bin").string();
  HANDLE file = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE);
  HANDLE mapping = CreateFileMappingA(file, PAGE_READWRITE, 10000);
  ASSERT_NE(mapping, 0u);
  MappedView view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0);
  ASSERT_TRUE(view);
  EXPECT_EQ(view.Size(), 10000u);
  // Views outlive both handles.
  CloseHandle(mapping);
  CloseHandle(file);
  auto* bytes = static_cast<uint8_t*>(view.Address());
  EXPECT_EQ(bytes[9999], 0) << "the extension reads as zeros";
  std::memcpy(bytes + 4096, "pixels", 6);
  ASSERT_TRUE(FlushViewOfFile(view.Address(), view.Size()));
  const std::vector<uint8_t> onDisk = ReadBytes(name);
  ASSERT_EQ(onDisk.size(), 10000u);
  EXPECT_EQ(std::memcmp(&onDisk[4096], "pixels", 6), 0);
  EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_FALSE(view);
  DeleteFileA(name.c_str());
}

TEST(FileMapping, RefusesWhatCannotBeMapped) {
  const std::string name = WorkPath("small.bin").string();
  testing::WriteBytes(name, {1, 2, 3});
  HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE);
  EXPECT_EQ(CreateFileMappingA(file, PAGE_READONLY, 4096), 0u) << "a read-only mapping cannot grow its file";
  HANDLE mapping = CreateFileMappingA(file, PAGE_READONLY, 0);
  ASSERT_NE(mapping, 0u);
  EXPECT_FALSE(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0)) << "no writing through a read-only mapping";
  EXPECT_FALSE(MapViewOfFile(mapping, FILE_MAP_READ, 0, 4)) << "past the mapping's end";
  MappedView view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0);
  ASSERT_TRUE(view);
  EXPECT_EQ(static_cast<uint8_t*>(view.Address())[2], 3);
  EXPECT_EQ(CreateFileMappingA(INVALID_HANDLE, PAGE_READWRITE, 16), 0u);
  CloseHandle(mapping);
  CloseHandle(file);
}

}  // namespace
}  // namespace runtime::imageconv
