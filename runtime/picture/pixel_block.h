// A zero-filled pixel block that a decoder fills and then hands to a Picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/memory/large_blocks.h"

namespace runtime::picture {

class PixelBlock {
 public:
  PixelBlock() = default;
  // Zero-filled so no uninitialised byte can reach a picture; empty when the
  // allocation fails.
  static PixelBlock Zeroed(size_t size) {
    PixelBlock block;
    if (size == 0) return block;
    block.data_.reset(static_cast<uint8_t*>(platform::AllocateZeroed(size)));
    if (block.data_) block.size_ = size;
    return block;
  }

  uint8_t* data() const { return data_.get(); }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // The block as the owner a picture keeps (freed with the last holder);
  // leaves this empty. Throws std::bad_alloc, and then keeps the block.
  std::shared_ptr<const void> Share() && {
    std::shared_ptr<const void> shared(std::move(data_));
    size_ = 0;
    return shared;
  }

 private:
  std::unique_ptr<uint8_t, platform::BlockDeleter> data_;
  size_t size_ = 0;
};

}  // namespace runtime::picture
