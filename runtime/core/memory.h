// The runtime's memory services. Every block comes from the process heap; the
// constant block of the program is never freed or resized in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace runtime {

// Never returns null: a failure is the fatal error "分配 %d 字节内存失败!".
void* Allocate(size_t size);
// Null block -> Allocate; a block inside the constant block is copied into a
// new block instead of being resized.
void* Reallocate(void* block, size_t size);
// Ignores null and anything inside the constant block.
void Free(void* block);
// Plain heap allocation that may return null (notify::kAllocate, flag != 0).
void* TryAllocate(size_t size);

// Adds sizes for an allocation; a sum that does not fit is an allocation
// failure (fatal), never a small block.
size_t CheckedSize(size_t a, size_t b);

// Text copy: length + 1 bytes with the NUL; null for an empty source.
char* CopyText(std::string_view text);
char* CopyText(const char* text);
// Byte-array copy: length + 8 bytes; null for length 0.
void* CopyBytes(const void* data, size_t length);

// Owns a block from Allocate until it is released to a caller.
class HeapBlock {
 public:
  HeapBlock() = default;
  explicit HeapBlock(void* block) : block_(block) {}
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;
  HeapBlock(HeapBlock&& other) noexcept : block_(other.Release()) {}
  HeapBlock& operator=(HeapBlock&& other) noexcept {
    if (this != &other) {
      Free(block_);
      block_ = other.Release();
    }
    return *this;
  }
  ~HeapBlock() { Free(block_); }
  void* Get() const { return block_; }
  void* Release() {
    void* b = block_;
    block_ = nullptr;
    return b;
  }

 private:
  void* block_ = nullptr;
};

}  // namespace runtime
