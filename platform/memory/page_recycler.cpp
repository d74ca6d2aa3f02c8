#include "platform/memory/page_recycler.h"

#include <sys/mman.h>

#include <algorithm>

namespace platform {
namespace {

void* Pointer(uintptr_t address) { return reinterpret_cast<void*>(address); }

}  // namespace

PageRecycler::~PageRecycler() {
  for (size_t k = 0; k < count_; ++k) munmap(Pointer(spares_[k].start), spares_[k].length);
}

size_t PageRecycler::Fill(uintptr_t destination, size_t length, Range* placed, size_t room) {
  std::lock_guard lock(mutex_);
  size_t filled = 0;
  size_t at = 0;
  while (at < length && count_ > 0 && filled < room) {
    Range& spare = spares_[count_ - 1];
    const size_t moved = std::min(spare.length, length - at);
    // A part of a spare moves alone; the rest stays a spare where it was.
    void* target = mremap(Pointer(spare.start), moved, moved, MREMAP_MAYMOVE | MREMAP_FIXED, Pointer(destination + at));
    if (target == MAP_FAILED) break;  // fresh pages serve the rest
    placed[filled++] = Range{destination + at, moved};
    at += moved;
    bytes_ -= moved;
    spare.start += moved;
    spare.length -= moved;
    if (spare.length == 0) --count_;
  }
  return filled;
}

void PageRecycler::Keep(Range range) {
  if (range.length == 0) return;
  std::lock_guard lock(mutex_);
  if (range.length > capacity_) {
    munmap(Pointer(range.start + capacity_), range.length - capacity_);
    range.length = capacity_;
    if (range.length == 0) return;
  }
  while (count_ > 0 && (bytes_ + range.length > capacity_ || count_ == kMostSpares)) DropOldest();
  spares_[count_++] = range;
  bytes_ += range.length;
}

size_t PageRecycler::SpareBytes() const {
  std::lock_guard lock(mutex_);
  return bytes_;
}

void PageRecycler::DropOldest() {
  munmap(Pointer(spares_[0].start), spares_[0].length);
  bytes_ -= spares_[0].length;
  std::move(spares_.begin() + 1, spares_.begin() + count_, spares_.begin());
  --count_;
}

}  // namespace platform
