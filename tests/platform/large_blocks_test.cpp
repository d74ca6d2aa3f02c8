// Large blocks and heap blocks side by side: every size comes back zeroed,
// aligned and writable to its last byte; a mapped block is told from a heap
// block, even one the heap aligned to a huge page, so each goes back to where
// it came from.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/memory/large_blocks.h"

namespace {

using platform::AllocateZeroed;
using platform::FreeZeroed;
using platform::kHugePageBlockFrom;
using platform::LargeBlockBytes;
using platform::UnmapLargeBlock;

constexpr size_t kHuge = size_t{2} << 20;

TEST(LargeBlocks, EverySizeIsZeroedAlignedAndWritableToItsEnd) {
  for (size_t bytes : {size_t{1}, size_t{15}, size_t{4096}, kHugePageBlockFrom - 1, kHugePageBlockFrom,
                       kHugePageBlockFrom + 1, 3 * kHuge + 12345, size_t{18662400}}) {
    auto* block = static_cast<uint8_t*>(AllocateZeroed(bytes));
    ASSERT_NE(block, nullptr) << bytes;
    const auto address = reinterpret_cast<uintptr_t>(block);
    EXPECT_EQ(address % 16, 0u) << bytes;
    const bool mapped = bytes >= kHugePageBlockFrom;
    if (mapped) {
      EXPECT_EQ(address % kHuge, 0u) << bytes << ": its own mapping starts a huge page";
    }
    EXPECT_EQ(LargeBlockBytes(block), mapped ? bytes : 0) << bytes;
    for (size_t at = 0; at < bytes; at += 4093) ASSERT_EQ(block[at], 0) << bytes << " at " << at;
    ASSERT_EQ(block[bytes - 1], 0) << bytes;
    std::memset(block, 0xA5, bytes);  // every byte is the block's own
    FreeZeroed(block);
  }
  EXPECT_EQ(AllocateZeroed(0), nullptr);
  EXPECT_EQ(AllocateZeroed(SIZE_MAX), nullptr);
  EXPECT_EQ(AllocateZeroed(SIZE_MAX - 16), nullptr);
  EXPECT_EQ(platform::MapLargeBlock(kHugePageBlockFrom - 1), nullptr);
  FreeZeroed(nullptr);
}

TEST(LargeBlocks, HeapBlocksOnAHugePageAreNeverTakenForMappedOnes) {
  // The heap's own blocks at the alignment of mapped ones, small and large:
  // none reads as a mapped block, so each goes back to the heap.
  for (size_t bytes : {size_t{16}, size_t{4096}, kHuge, 3 * kHuge}) {
    void* heap = nullptr;
    ASSERT_EQ(posix_memalign(&heap, kHuge, bytes), 0);
    ASSERT_EQ(reinterpret_cast<uintptr_t>(heap) % kHuge, 0u);
    EXPECT_EQ(LargeBlockBytes(heap), 0u) << bytes;
    EXPECT_FALSE(UnmapLargeBlock(heap)) << bytes;
    std::memset(heap, 0x5A, bytes);
    std::free(heap);
  }
  EXPECT_FALSE(UnmapLargeBlock(nullptr));
  void* mapped = platform::MapLargeBlock(kHugePageBlockFrom);
  ASSERT_NE(mapped, nullptr);
  EXPECT_TRUE(UnmapLargeBlock(mapped));
}

}  // namespace
