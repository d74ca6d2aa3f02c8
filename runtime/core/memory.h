// The runtime's memory services. Every block comes from the process heap; the
// constant block of the program is never freed or resized in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string_view>

namespace runtime {

// Never returns null: a failure is the fatal error "分配 %d 字节内存失败!".
void* Allocate(size_t size);

// The runtime's out-of-memory end: that fatal error for a request of `size`
// bytes, shown as the 32-bit signed number the caller asked for.
[[noreturn]] void OutOfMemory(size_t size);

// What a failed `new` throws in a program built on the runtime: the request
// it could not serve, so wherever memory runs out the program ends with the
// runtime's message and the size, never in std::terminate.
class AllocationFailure : public std::bad_alloc {
 public:
  explicit AllocationFailure(size_t size) : size_(size) {}
  const char* what() const noexcept override { return "allocation failed"; }
  size_t Size() const { return size_; }

 private:
  size_t size_;
};
// The size a failed allocation asked for; 0 when it is not known.
size_t RequestedSize(const std::bad_alloc& failure);

// Runs `work`; memory running out inside it ends the program through
// OutOfMemory instead of unwinding out of a thread or the program's routine.
template <class Work>
void EndingOnExhaustion(Work&& work) {
  try {
    work();
  } catch (const std::bad_alloc& failure) {
    OutOfMemory(RequestedSize(failure));
  }
}
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
