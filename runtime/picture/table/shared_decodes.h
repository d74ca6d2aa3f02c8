// One decode per content: pictures decoded from the same bytes while an
// earlier decode of them is still alive share its pixels instead of decoding
// again. A dropped photograph is shown in its box and then loaded for
// drawing from the very same bytes; a large progressive JPEG costs a fifth of
// a second and its size in memory each time it is decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "runtime/core/memory.h"
#include "runtime/picture/picture.h"

namespace runtime::picture::table {

class SharedDecodes {
 public:
  using Decoder = PicturePtr (*)(std::span<const uint8_t> bytes);

  // A new picture of the bytes: sharing the pixels of a live earlier decode
  // of equal bytes, or decoded by `decode` (and then offered for sharing).
  PicturePtr Decode(std::span<const uint8_t> bytes, Decoder decode);

  // Decodes whose pixels are still alive.
  size_t LiveCount();

 private:
  struct Entry {
    ByteRun bytes;  // compared in full (a hash could collide), unless one file's
                    // shared bytes are both runs
    std::weak_ptr<const void> pixels;
    Picture shape;  // kind, size and pixel address; owns nothing
  };
  PicturePtr FindLive(std::span<const uint8_t> bytes);
  void DropExpired();

  std::mutex lock_;
  std::vector<Entry> entries_;
};

}  // namespace runtime::picture::table
