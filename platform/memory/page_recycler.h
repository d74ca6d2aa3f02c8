// The pages of freed large blocks, kept to back the next large blocks instead
// of going back to the system. Pages the process already has cost nothing to
// reuse; fresh ones are faulted in and cleared by the kernel, which on a
// machine that shadows page tables costs more than the work written into them
// (a drop frees a 14 MB canvas file and the encoder's 14 MB of coefficients,
// and the next asks for both again).
//
// Pages move, they are not copied: a spare range is moved into the new block
// with mremap, page tables and all. A block that needs more than the spares
// hold takes them all and gets fresh pages for the rest, so spares never
// raise the peak a large request reaches; what passes the capacity is
// unmapped at once. The capacity holds what one drop frees and the next asks
// again (the canvas file, the encoder's coefficients, the stretch's sums):
// more kept no more pages from the system, only memory between drops.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace platform {

class PageRecycler {
 public:
  // A range of whole huge pages that lies within one mapping.
  struct Range {
    uintptr_t start = 0;
    size_t length = 0;
  };
  static constexpr size_t kMostSpares = 64;
  static constexpr size_t kDefaultCapacity = size_t{32} << 20;

  explicit PageRecycler(size_t capacity = kDefaultCapacity) : capacity_(capacity) {}
  PageRecycler(const PageRecycler&) = delete;
  PageRecycler& operator=(const PageRecycler&) = delete;
  // Unmaps what it still holds.
  ~PageRecycler();

  // Moves spare pages over [destination, destination + length), from its
  // start, most recently kept first; both are huge-page multiples and the
  // range lies in a mapping of the caller's. Writes each range it placed to
  // `placed` (at most `room`) and answers their count; the ranges are
  // consecutive from `destination`.
  size_t Fill(uintptr_t destination, size_t length, Range* placed, size_t room);
  // Takes over the pages of `range`; the oldest spares, or the end of this
  // range, are unmapped when the capacity or the count of spares would pass.
  void Keep(Range range);

  size_t SpareBytes() const;

 private:
  void DropOldest();

  mutable std::mutex mutex_;
  const size_t capacity_;
  std::array<Range, kMostSpares> spares_{};  // oldest first
  size_t count_ = 0;
  size_t bytes_ = 0;
};

}  // namespace platform
