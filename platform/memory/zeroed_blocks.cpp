#include "platform/memory/zeroed_blocks.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

constexpr size_t kHugePage = size_t{2} << 20;
constexpr uint64_t kFromHeap = 0x5A45524F48454150;  // what FreeZeroed must do
constexpr uint64_t kFromMapping = 0x5A45524F4D415050;

// Just before every block: where it came from and, for a mapping, its extent.
struct alignas(16) Header {
  uint64_t origin;
  void* base;
  size_t length;
};

Header* HeaderOf(void* block) { return static_cast<Header*>(block) - 1; }

void* FromMapping(size_t bytes) {
  // Room for the header before a start aligned to a huge page. Only whole
  // aligned huge pages inside the mapping become huge, so a partial last one
  // stays in small pages rather than costing up to 2 MiB more.
  const size_t page = 4096;
  if (bytes > SIZE_MAX - kHugePage - 2 * page) return nullptr;
  const size_t length = kHugePage + (bytes + page - 1) / page * page + page;
  void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return nullptr;
  // Huge pages are a gain, not a need: a kernel without them still maps.
  madvise(base, length, MADV_HUGEPAGE);
  const auto start = reinterpret_cast<uintptr_t>(base) + sizeof(Header);
  auto* block = reinterpret_cast<void*>((start + kHugePage - 1) / kHugePage * kHugePage);
  *HeaderOf(block) = Header{kFromMapping, base, length};
  return block;
}

}  // namespace

void* AllocateZeroed(size_t bytes) {
  if (bytes == 0) return nullptr;
  if (bytes >= kHugePageBlockFrom) return FromMapping(bytes);
  if (bytes > SIZE_MAX - sizeof(Header)) return nullptr;
  auto* header = static_cast<Header*>(std::calloc(1, sizeof(Header) + bytes));
  if (!header) return nullptr;
  *header = Header{kFromHeap, header, 0};
  return header + 1;
}

void FreeZeroed(void* block) {
  if (!block) return;
  const Header header = *HeaderOf(block);
  if (header.origin == kFromMapping)
    munmap(header.base, header.length);
  else
    std::free(header.base);
}

}  // namespace platform
