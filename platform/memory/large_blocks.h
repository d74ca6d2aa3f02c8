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

// What a new block holds: zeros, or whatever its pages held before (pages of
// freed blocks are reused, see page_recycler.h), for callers that write it
// all before reading.
enum class BlockContents { Zeroed, Unset };

// A mapping of its own for `bytes` (at least kHugePageBlockFrom), starting
// on a huge page; null when the memory cannot be had.
void* MapLargeBlock(size_t bytes, BlockContents contents = BlockContents::Zeroed);
// Gives back `block` when MapLargeBlock made it (its pages are kept for the
// next large blocks once System is made) and answers true; anything else
// (a heap block, null) is left alone and answers false. Telling the two
// apart reads the 16 bytes before a block aligned to a huge page, which for
// a heap block are the heap's own record of it.
bool UnmapLargeBlock(void* block);
// The bytes asked for when MapLargeBlock made `block`; 0 for anything else.
size_t LargeBlockBytes(const void* block);

// `bytes` bytes aligned to at least 16, mapped from kHugePageBlockFrom on and
// from the heap below; null when bytes is 0 or the memory cannot be had.
// Zeroed, or unset for callers that write before they read. Freed with
// FreeBlock.
void* AllocateZeroed(size_t bytes);
void* AllocateUnset(size_t bytes);
void FreeBlock(void* block);

// A deleter for owners of such blocks.
struct BlockDeleter {
  void operator()(void* block) const { FreeBlock(block); }
};

}  // namespace platform
