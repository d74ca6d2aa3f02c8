// Large blocks: from 2 MiB on, a block gets a mapping of its own in whole
// huge pages, aligned and advised for them, so a 2160 x 2160 canvas comes in
// from the system nine faults at a time instead of thousands of 4 KiB pages.
// The program's `new`, the runtime's blocks, decoded pixels and surfaces all
// take theirs from here; smaller requests stay with the heap.
#pragma once

#include <cstddef>

namespace platform {

// From this size on a block has its own huge-page mapping.
inline constexpr size_t kHugePageBlockFrom = size_t{2} << 20;

// A mapping of its own for `bytes` (at least kHugePageBlockFrom), zeroed and
// starting on a huge page; null when the memory cannot be had.
void* MapLargeBlock(size_t bytes);
// Unmaps `block` when MapLargeBlock made it and answers true; anything else
// (a heap block, null) is left alone and answers false. Telling the two
// apart reads the 16 bytes before a block aligned to a huge page, which for
// a heap block are the heap's own record of it.
bool UnmapLargeBlock(void* block);
// The bytes asked for when MapLargeBlock made `block`; 0 for anything else.
size_t LargeBlockBytes(const void* block);

// `bytes` zeroed bytes aligned to at least 16, mapped from kHugePageBlockFrom
// on and from the heap below; null when bytes is 0 or the memory cannot be
// had. Freed with FreeZeroed.
void* AllocateZeroed(size_t bytes);
void FreeZeroed(void* block);

// A deleter for owners of such blocks.
struct ZeroedDeleter {
  void operator()(void* block) const { FreeZeroed(block); }
};

}  // namespace platform
