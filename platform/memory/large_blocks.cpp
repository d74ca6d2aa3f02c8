#include "platform/memory/large_blocks.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

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

}  // namespace

void* MapLargeBlock(size_t bytes) {
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
  // Huge pages are a gain, not a need: a kernel without them still maps.
  madvise(reinterpret_cast<void*>(block), pages, MADV_HUGEPAGE);
  *reinterpret_cast<Header*>(block - sizeof(Header)) = Header{bytes, kLargeBlockMark, end - base};
  return reinterpret_cast<void*>(block);
}

bool UnmapLargeBlock(void* block) {
  const Header* header = HeaderOf(block);
  if (!header) return false;
  munmap(reinterpret_cast<void*>(Address(block) - kPage), header->length);
  return true;
}

size_t LargeBlockBytes(const void* block) {
  const Header* header = HeaderOf(block);
  return header ? header->bytes : 0;
}

void* AllocateZeroed(size_t bytes) {
  if (bytes == 0) return nullptr;
  if (bytes >= kHugePageBlockFrom) return MapLargeBlock(bytes);
  return std::calloc(1, bytes);
}

void FreeZeroed(void* block) {
  if (!UnmapLargeBlock(block)) std::free(block);
}

}  // namespace platform
