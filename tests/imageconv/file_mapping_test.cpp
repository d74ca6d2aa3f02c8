// The platform's file mapping calls as the pixel store relies on them.
#include <unistd.h>

#include <cstring>
#include <vector>

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
  EXPECT_EQ(CreateFileMappingA(HANDLE{12345}, PAGE_READWRITE, 16), 0u) << "no such file";
  EXPECT_EQ(CreateFileMappingA(INVALID_HANDLE, PAGE_READWRITE, 0), 0u) << "memory alone needs a size";
  CloseHandle(mapping);
  CloseHandle(file);
}

// A memory mapping filled from a file; copy views of it read its bytes and
// keep their writes to themselves, and tell whether they were written.
TEST(FileMapping, CopyViewsOfAMemoryMappingKeepTheirWritesApart) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  std::vector<uint8_t> content(3 * page + 10);
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i * 13);
  const std::string name = WorkPath("content.bin").string();
  testing::WriteBytes(name, content);
  HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE);
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE, PAGE_READWRITE, content.size() + 1);
  ASSERT_NE(mapping, 0u);
  EXPECT_FALSE(CopyFileToMapping(file, mapping, 2, content.size())) << "past the mapping's end";
  ASSERT_TRUE(CopyFileToMapping(file, mapping, 1, content.size()));
  EXPECT_FALSE(CopyFileToMapping(file, mapping, 0, 1)) << "the file has ended";
  CloseHandle(file);

  MappedView one = MapViewOfFile(mapping, FILE_MAP_COPY, 0, 0), two = MapViewOfFile(mapping, FILE_MAP_COPY, 0, 0);
  CloseHandle(mapping);  // views outlive their mapping
  ASSERT_TRUE(one && two);
  auto* a = static_cast<uint8_t*>(one.Address());
  auto* b = static_cast<uint8_t*>(two.Address());
  EXPECT_EQ(std::memcmp(a + 1, content.data(), content.size()), 0);
  EXPECT_TRUE(CopyViewUnwritten(a, content.size() + 1)) << "read, not written";
  a[2 * page + 5] ^= 0xFF;
  EXPECT_EQ(b[2 * page + 5], content[2 * page + 4]) << "a write stays in its own view";
  EXPECT_FALSE(CopyViewUnwritten(a, content.size() + 1));
  EXPECT_TRUE(CopyViewUnwritten(a, 2 * page)) << "the pages before the write";
  EXPECT_TRUE(CopyViewUnwritten(b, content.size() + 1));
}

}  // namespace
}  // namespace runtime::imageconv
