// Zeroed blocks for pixels. A block of megabytes gets a mapping of its own,
// aligned and advised for huge pages, so a 2160 x 2160 canvas comes in from
// the system nine faults at a time instead of thousands of 4 KiB pages; a
// smaller block comes from the heap. Either is freed with FreeZeroed.
#pragma once

#include <cstddef>

namespace platform {

// From this size on a block has its own huge-page mapping.
inline constexpr size_t kHugePageBlockFrom = size_t{2} << 20;

// `bytes` zeroed bytes aligned to at least 16; null when bytes is 0 or the
// memory cannot be had.
void* AllocateZeroed(size_t bytes);
void FreeZeroed(void* block);

// A deleter for owners of such blocks.
struct ZeroedDeleter {
  void operator()(void* block) const { FreeZeroed(block); }
};

}  // namespace platform
