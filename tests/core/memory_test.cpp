#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include "platform/windows/messages.h"
#include "runtime/core/memory.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime_fixture.h"

namespace {

using namespace runtime;

class MemoryTest : public test::RuntimeTest {};

TEST_F(MemoryTest, CopiesNeverAllocateEmptyValues) {
  EXPECT_EQ(CopyText(static_cast<const char*>(nullptr)), nullptr);
  EXPECT_EQ(CopyText(""), nullptr);
  EXPECT_EQ(CopyBytes("x", 0), nullptr);

  HeapBlock one(CopyBytes("\x7F", 1));
  int32_t header[2];
  std::memcpy(header, one.Get(), 8);
  EXPECT_EQ(header[0], 1);
  EXPECT_EQ(header[1], 1);
  EXPECT_EQ(ByteArrayData(one.Get())[0], 0x7F);

  HeapBlock text(CopyText("abc"));
  EXPECT_STREQ(static_cast<const char*>(text.Get()), "abc");
}

TEST_F(MemoryTest, FreeIgnoresNullAndConstants) {
  Free(nullptr);
  Free(const_cast<char*>(EmptyText()));
  Free(const_cast<void*>(EmptyBytes()));
  Free(const_cast<uint8_t*>(test::kConstants + 27));  // the block's last byte
  NotifyRuntime(notify::kFree, reinterpret_cast<intptr_t>(EmptyText()), 0);
  EXPECT_EQ(test::kConstants[1], 1);
}

TEST_F(MemoryTest, ReallocatingAConstantCopiesUpToTheBlockEnd) {
  HeapBlock text(Reallocate(const_cast<char*>(EmptyText()), 10));
  ASSERT_NE(text.Get(), EmptyText());
  EXPECT_EQ(static_cast<const uint8_t*>(text.Get())[0], 0);

  // From offset 1 the block holds 27 more bytes; the copy takes them all and
  // leaves the rest of the 100 bytes to the caller.
  HeapBlock bytes(Reallocate(const_cast<void*>(EmptyBytes()), 100));
  ASSERT_NE(bytes.Get(), EmptyBytes());
  EXPECT_EQ(std::memcmp(bytes.Get(), test::kConstants + 1, 27), 0);

  // Shrinking copies only what is asked for.
  HeapBlock small(Reallocate(const_cast<uint8_t*>(test::kConstants + 9), 4));
  EXPECT_EQ(std::memcmp(small.Get(), "/emp", 4), 0);
  EXPECT_EQ(test::kConstants[0], 0);
}

TEST_F(MemoryTest, ReallocateKeepsTheContentAcrossHeapAndMappedBlocks) {
  // Up from the heap, up again into a mapping of its own, within it, and back
  // down to the heap: the bytes both sides hold survive every move.
  void* block = Reallocate(nullptr, 4);
  std::memcpy(block, "abcd", 4);
  size_t held = 4;
  for (size_t size : {size_t{1} << 20, size_t{3} << 20, size_t{5} << 20, size_t{4} << 20, size_t{100}}) {
    block = Reallocate(block, size);
    for (size_t at = 4; at < held && at < size; at += 4099)
      ASSERT_EQ(static_cast<uint8_t*>(block)[at], at % 251) << size;
    ASSERT_EQ(std::memcmp(block, "abcd", 4), 0) << size;
    for (size_t at = 4; at < size; at += 4099) static_cast<uint8_t*>(block)[at] = static_cast<uint8_t>(at % 251);
    held = size;
  }
  Free(block);
}

TEST_F(MemoryTest, ArrayFreeReleasesTextElements) {
  // A 2 x 2 text array built as the runtime lays it out; the sanitizer run
  // reports a leak if any element survives.
  auto* block = static_cast<uint8_t*>(Allocate(4 + 8 + 4 * sizeof(char*)));
  int32_t dims[3] = {2, 2, 2};
  std::memcpy(block, dims, 12);
  char* elements[4] = {CopyText("a"), CopyText("bb"), nullptr, CopyText("d")};
  std::memcpy(block + 12, elements, sizeof elements);
  NotifyRuntime(notify::kFreeArray, static_cast<intptr_t>(TypeText | TypeArrayFlag), reinterpret_cast<intptr_t>(block));
}

TEST_F(MemoryTest, FailingPlainAllocationReturnsNull) {
  EXPECT_EQ(NotifyRuntime(notify::kAllocate, static_cast<intptr_t>(std::numeric_limits<intptr_t>::max()), 1), 0);
}

using MemoryDeathTest = MemoryTest;

TEST_F(MemoryDeathTest, SizesThatWrapAreAllocationFailuresNotSmallBlocks) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(CheckedSize(std::numeric_limits<size_t>::max() - 3, 8), testing::ExitedWithCode(255),
              "分配 -1 字节内存失败!");
  EXPECT_EXIT(Allocate(std::numeric_limits<size_t>::max()), testing::ExitedWithCode(255), "字节内存失败!");
  // The size reads as the signed 32-bit request it was.
  EXPECT_EXIT(Allocate(static_cast<size_t>(-5)), testing::ExitedWithCode(255), "分配 -5 字节内存失败!");
  EXPECT_EXIT(CopyBytes("x", static_cast<size_t>(std::numeric_limits<int32_t>::max()) + 1),
              testing::ExitedWithCode(255), "字节内存失败!");
  EXPECT_EXIT(NotifyRuntime(notify::kAllocate, -1, 0), testing::ExitedWithCode(255), "字节内存失败!");
}

// A request no heap serves, made the way unit code makes one: through new.
[[maybe_unused]] int32_t StartThatRunsOutOfMemory() {
  std::vector<uint8_t> bytes;
  bytes.resize(size_t{1} << 46);
  return 0;
}

// The main thread takes messages, as the program's loop would, while a
// worker (a GIF player) runs out of memory.
int32_t StartWhoseThreadRunsOutOfMemory() {
  std::thread([] { EndingOnExhaustion([] { throw AllocationFailure(4096); }); }).detach();
  for (platform::MSG message; platform::GetMessageA(&message, 0, 0, 0);) platform::DispatchMessageA(&message);
  return 0;
}

TEST_F(MemoryDeathTest, MemoryRunningOutUnderTheProgramEndsWithTheRuntimesMessage) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer ends the process itself on a request this large";
#else
  const ProgramHeader header = test::MakeHeader();
  EXPECT_EXIT(services::RunApplication(header, &StartThatRunsOutOfMemory), testing::ExitedWithCode(255),
              "分配 0 字节内存失败!");  // 2^46 as a 32-bit request
#endif
}

TEST_F(MemoryDeathTest, MemoryRunningOutOnAWorkerThreadEndsWithTheRuntimesMessage) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const ProgramHeader header = test::MakeHeader();
  EXPECT_EXIT(services::RunApplication(header, &StartWhoseThreadRunsOutOfMemory), testing::ExitedWithCode(255),
              "分配 4096 字节内存失败!");
  EXPECT_EQ(RequestedSize(AllocationFailure(77)), 77u);
  EXPECT_EQ(RequestedSize(std::bad_alloc()), 0u);
}

}  // namespace
