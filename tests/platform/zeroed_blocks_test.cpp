// Zeroed blocks from the heap and from mappings of their own: every size
// comes back zeroed, aligned, writable to its last byte and freed by the one
// call, whichever side of the huge-page threshold it falls.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/memory/zeroed_blocks.h"

namespace {

using platform::AllocateZeroed;
using platform::FreeZeroed;
using platform::kHugePageBlockFrom;

TEST(ZeroedBlocks, EverySizeIsZeroedAlignedAndWritableToItsEnd) {
  const size_t huge = size_t{2} << 20;
  for (size_t bytes : {size_t{1}, size_t{15}, size_t{4096}, kHugePageBlockFrom - 1, kHugePageBlockFrom,
                       kHugePageBlockFrom + 1, 3 * huge + 12345, size_t{18662400}}) {
    auto* block = static_cast<uint8_t*>(AllocateZeroed(bytes));
    ASSERT_NE(block, nullptr) << bytes;
    const auto address = reinterpret_cast<uintptr_t>(block);
    EXPECT_EQ(address % 16, 0u) << bytes;
    if (bytes >= kHugePageBlockFrom) {
      EXPECT_EQ(address % huge, 0u) << bytes << ": its own mapping starts a huge page";
    }
    for (size_t at = 0; at < bytes; at += 4093) ASSERT_EQ(block[at], 0) << bytes << " at " << at;
    ASSERT_EQ(block[bytes - 1], 0) << bytes;
    std::memset(block, 0xA5, bytes);  // every byte is the block's own
    FreeZeroed(block);
  }
  EXPECT_EQ(AllocateZeroed(0), nullptr);
  EXPECT_EQ(AllocateZeroed(SIZE_MAX), nullptr);
  EXPECT_EQ(AllocateZeroed(SIZE_MAX - 16), nullptr);
  FreeZeroed(nullptr);
}

}  // namespace
