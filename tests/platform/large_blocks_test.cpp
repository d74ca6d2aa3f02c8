// Large blocks and heap blocks side by side: every size comes back zeroed,
// aligned and writable to its last byte; a mapped block is told from a heap
// block, even one the heap aligned to a huge page, so each goes back to where
// it came from. The pages of freed large blocks back the next ones.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/base/system.h"
#include "platform/memory/large_blocks.h"
#include "platform/memory/page_recycler.h"

namespace {

using platform::AllocateZeroed;
using platform::FreeBlock;
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
    FreeBlock(block);
  }
  EXPECT_EQ(AllocateZeroed(0), nullptr);
  EXPECT_EQ(AllocateZeroed(SIZE_MAX), nullptr);
  EXPECT_EQ(AllocateZeroed(SIZE_MAX - 16), nullptr);
  EXPECT_EQ(platform::MapLargeBlock(kHugePageBlockFrom - 1), nullptr);
  FreeBlock(nullptr);
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

namespace recycling {

using platform::BlockContents;
using platform::MapLargeBlock;
using platform::PageRecycler;

uintptr_t Address(const void* p) { return reinterpret_cast<uintptr_t>(p); }

// A huge-page-aligned anonymous range of `length`, each huge page filled with
// its own mark byte (mark, mark + 1, ...), or left untouched for mark 0.
PageRecycler::Range MarkedRange(size_t length, uint8_t mark) {
  void* reserved = mmap(nullptr, length + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  EXPECT_NE(reserved, MAP_FAILED);
  const uintptr_t start = (Address(reserved) + kHuge - 1) / kHuge * kHuge;
  if (start > Address(reserved)) munmap(reserved, start - Address(reserved));
  munmap(reinterpret_cast<void*>(start + length), Address(reserved) + kHuge - start);
  for (size_t page = 0; mark && page < length / kHuge; ++page)
    std::memset(reinterpret_cast<void*>(start + page * kHuge), mark + page, kHuge);
  return {start, length};
}

uint8_t ByteAt(uintptr_t address) { return *reinterpret_cast<const uint8_t*>(address); }

TEST(PageRecycler, SparePagesMoveNewestFirstAndNeverPastTheCapacity) {
  PageRecycler recycler(4 * kHuge);
  recycler.Keep(MarkedRange(kHuge, 0x10));      // oldest
  recycler.Keep(MarkedRange(2 * kHuge, 0x20));  // newest
  ASSERT_EQ(recycler.SpareBytes(), 3 * kHuge);

  // A block of two huge pages takes the newest spare whole, page tables and
  // contents; one of five takes the rest and leaves two for fresh pages.
  PageRecycler::Range first = MarkedRange(2 * kHuge, 0);
  PageRecycler::Range placed[4];
  ASSERT_EQ(recycler.Fill(first.start, first.length, placed, 4), 1u);
  EXPECT_EQ(placed[0].start, first.start);
  EXPECT_EQ(placed[0].length, 2 * kHuge);
  EXPECT_EQ(ByteAt(first.start), 0x20);
  EXPECT_EQ(ByteAt(first.start + kHuge + 5), 0x21);
  PageRecycler::Range second = MarkedRange(5 * kHuge, 0);
  ASSERT_EQ(recycler.Fill(second.start, second.length, placed, 4), 1u);
  EXPECT_EQ(placed[0].length, kHuge);
  EXPECT_EQ(ByteAt(second.start), 0x10);
  EXPECT_EQ(ByteAt(second.start + kHuge), 0) << "the rest is left as it was";
  EXPECT_EQ(recycler.SpareBytes(), 0u);

  // A spare longer than the block gives only its front; past the capacity
  // the oldest go, and a range longer than the capacity keeps its front.
  recycler.Keep(first);
  PageRecycler::Range third = MarkedRange(kHuge, 0);
  ASSERT_EQ(recycler.Fill(third.start, third.length, placed, 4), 1u);
  EXPECT_EQ(ByteAt(third.start), 0x20);
  EXPECT_EQ(recycler.SpareBytes(), kHuge);
  recycler.Keep(third);
  recycler.Keep(MarkedRange(3 * kHuge, 0x30));
  EXPECT_EQ(recycler.SpareBytes(), 4 * kHuge);
  recycler.Keep(MarkedRange(6 * kHuge, 0x40));
  EXPECT_EQ(recycler.SpareBytes(), 4 * kHuge);
  PageRecycler::Range fourth = MarkedRange(4 * kHuge, 0);
  ASSERT_EQ(recycler.Fill(fourth.start, fourth.length, placed, 4), 1u);
  EXPECT_EQ(ByteAt(fourth.start + 3 * kHuge), 0x43);

  munmap(reinterpret_cast<void*>(second.start), second.length);
  munmap(reinterpret_cast<void*>(fourth.start), fourth.length);
}

TEST(LargeBlocks, FreedBlocksBackTheNextOnesZeroedWhenAskedAndWholeWhenFreedAgain) {
  PageRecycler& spares = platform::System::Get().Part<PageRecycler>();
  // Whatever earlier blocks left is taken first, so the counts below are
  // this test's own.
  void* earlier = MapLargeBlock(PageRecycler::kDefaultCapacity, BlockContents::Unset);
  ASSERT_NE(earlier, nullptr);
  ASSERT_EQ(spares.SpareBytes(), 0u);
  // Blocks of many sizes made and freed: later blocks are built from their
  // pages (several pieces, then fresh pages past them); zeroed ones read 0
  // everywhere, unset ones show the pages came back rather than fresh ones.
  const size_t sizes[] = {kHugePageBlockFrom, 3 * kHuge + 12345, 5 * kHuge, kHuge + 1};
  std::vector<uint8_t*> blocks;
  for (size_t bytes : sizes) {
    auto* block = static_cast<uint8_t*>(MapLargeBlock(bytes, BlockContents::Unset));
    ASSERT_NE(block, nullptr);
    std::memset(block, 0xC3, bytes);
    blocks.push_back(block);
  }
  for (uint8_t* block : blocks) ASSERT_TRUE(UnmapLargeBlock(block));
  const size_t kept = spares.SpareBytes();
  ASSERT_EQ(kept, 12 * kHuge);

  auto* reused = static_cast<uint8_t*>(MapLargeBlock(2 * kHuge, BlockContents::Unset));
  ASSERT_NE(reused, nullptr);
  EXPECT_EQ(reused[0], 0xC3) << "the newest spare's pages, not fresh ones";
  EXPECT_EQ(spares.SpareBytes(), kept - 2 * kHuge);

  // Larger than every spare together: all are taken, the rest is fresh.
  const size_t whole = kept + 3 * kHuge + 777;
  auto* zeroed = static_cast<uint8_t*>(MapLargeBlock(whole, BlockContents::Zeroed));
  ASSERT_NE(zeroed, nullptr);
  EXPECT_EQ(spares.SpareBytes(), 0u);
  EXPECT_EQ(LargeBlockBytes(zeroed), whole);
  for (size_t at = 0; at < whole; at += 4093) ASSERT_EQ(zeroed[at], 0) << at;
  ASSERT_EQ(zeroed[whole - 1], 0);
  std::memset(zeroed, 0x3C, whole);
  ASSERT_TRUE(UnmapLargeBlock(zeroed));
  const size_t wholePages = (whole + kHuge - 1) / kHuge * kHuge;
  ASSERT_LE(wholePages, PageRecycler::kDefaultCapacity);
  EXPECT_EQ(spares.SpareBytes(), wholePages) << "every piece of a block goes back, the fresh part too";
  ASSERT_TRUE(UnmapLargeBlock(reused));
  EXPECT_LE(spares.SpareBytes(), PageRecycler::kDefaultCapacity);
  ASSERT_TRUE(UnmapLargeBlock(earlier));
}

}  // namespace recycling

}  // namespace
