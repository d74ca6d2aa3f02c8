#include "platform/memory/large_blocks.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/base/system.h"
#include "platform/memory/page_recycler.h"

namespace platform {
namespace {

constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kPage = 4096;
constexpr uint64_t kLargeBlockMark = 0x4C41524745424C4B;  // odd: never a heap size

// The end of the page before every large block: the bytes asked for, then
// the mark and the mapping's length (the mapping starts at that page). For a
// heap block aligned to a huge page the last 16 of those bytes are the heap's
// record: the previous chunk's size, then this chunk's size word. A size word
// with its low bit clear means the previous chunk is free and the word before
// is its size, a multiple of 16; the mark is odd and `length` a page multiple,
// so a heap record never reads as a large block's.
struct Header {
  uint64_t bytes;
  uint64_t mark;
  uint64_t length;
};

// The start of the same page: the ranges the block is made of, each within
// one mapping (recycled pages moved in, then the fresh rest), so each can be
// moved again on its own when the block is freed.
constexpr size_t kMostPieces = 32;
struct Pieces {
  uint64_t count;
  PageRecycler::Range ranges[kMostPieces];
};
static_assert(sizeof(Pieces) + sizeof(Header) <= kPage);

uintptr_t Address(const void* block) { return reinterpret_cast<uintptr_t>(block); }

// Reads before the block, outside what the heap handed out for a heap block:
// the sanitizer must not take that for an overflow.
__attribute__((no_sanitize("address"))) const Header* HeaderOf(const void* block) {
  if (!block || Address(block) % kHugePage != 0) return nullptr;
  const auto* header = reinterpret_cast<const Header*>(Address(block) - sizeof(Header));
  // The mark first: `bytes` lies outside a heap block's record.
  if (header->mark != kLargeBlockMark || header->length % kPage != 0) return nullptr;
  return header;
}

// The process's spare pages; none before System is made, so nothing here
// makes it early.
PageRecycler* Recycler() {
  System* system = System::IfMade();
  return system ? &system->Part<PageRecycler>() : nullptr;
}

}  // namespace

void* MapLargeBlock(size_t bytes, BlockContents contents) {
  if (bytes < kHugePageBlockFrom || bytes > SIZE_MAX / 2) return nullptr;
  // Whole huge pages: a last part in small pages would cost a fault for
  // every 4 KiB of it (a 14 MB canvas file ends in 350 of them) and, under a
  // hypervisor that shadows page tables, another on first touch even when
  // brought in at once; at most 2 MiB more is held instead.
  const size_t pages = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  // Room to align the start to a huge page with one page before it for the
  // header; the slack on both sides is given back at once.
  const size_t reserved = kPage + pages + kHugePage;
  void* mapped = mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  const uintptr_t start = Address(mapped);
  const uintptr_t block = (start + kPage + kHugePage - 1) / kHugePage * kHugePage;
  const uintptr_t base = block - kPage;
  const uintptr_t end = block + pages;
  if (base > start) munmap(mapped, base - start);
  if (start + reserved > end) munmap(reinterpret_cast<void*>(end), start + reserved - end);
  auto* pieces = reinterpret_cast<Pieces*>(base);
  PageRecycler* recycler = Recycler();
  pieces->count = recycler ? recycler->Fill(block, pages, pieces->ranges, kMostPieces - 1) : 0;
  size_t recycled = 0;
  for (size_t k = 0; k < pieces->count; ++k) recycled += pieces->ranges[k].length;
  if (recycled < pages) {
    // Huge pages are a gain, not a need: a kernel without them still maps.
    madvise(reinterpret_cast<void*>(block + recycled), pages - recycled, MADV_HUGEPAGE);
    pieces->ranges[pieces->count++] = PageRecycler::Range{block + recycled, pages - recycled};
  }
  // Fresh pages come zeroed; recycled ones hold what their last block left.
  if (contents == BlockContents::Zeroed) std::memset(reinterpret_cast<void*>(block), 0, std::min(recycled, bytes));
  *reinterpret_cast<Header*>(block - sizeof(Header)) = Header{bytes, kLargeBlockMark, end - base};
  return reinterpret_cast<void*>(block);
}

bool UnmapLargeBlock(void* block) {
  const Header* header = HeaderOf(block);
  if (!header) return false;
  const uintptr_t base = Address(block) - kPage;
  PageRecycler* recycler = Recycler();
  if (!recycler) {
    munmap(reinterpret_cast<void*>(base), header->length);
    return true;
  }
  const Pieces pieces = *reinterpret_cast<const Pieces*>(base);
  munmap(reinterpret_cast<void*>(base), kPage);
  for (size_t k = 0; k < pieces.count && k < kMostPieces; ++k) recycler->Keep(pieces.ranges[k]);
  return true;
}

size_t LargeBlockBytes(const void* block) {
  const Header* header = HeaderOf(block);
  return header ? header->bytes : 0;
}

void* AllocateZeroed(size_t bytes) {
  if (bytes == 0) return nullptr;
  if (bytes >= kHugePageBlockFrom) return MapLargeBlock(bytes, BlockContents::Zeroed);
  return std::calloc(1, bytes);
}

void* AllocateUnset(size_t bytes) {
  if (bytes == 0) return nullptr;
  if (bytes >= kHugePageBlockFrom) return MapLargeBlock(bytes, BlockContents::Unset);
  return std::malloc(bytes);
}

void FreeBlock(void* block) {
  if (!UnmapLargeBlock(block)) std::free(block);
}

}  // namespace platform
