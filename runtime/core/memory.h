// The runtime's memory services. Every block comes from the process heap; the
// constant block of the program is never freed or resized in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <string_view>
#include <utility>

#include "platform/base/types.h"
#include "runtime/core/value.h"

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
// Byte-array copy: length + 8 bytes; null for length 0. When the bytes are
// a whole byte array read from a large file, the copy is another view of the
// same bytes instead (see byte_array_views.h).
void* CopyBytes(const void* data, size_t length);
// A large file's whole content as a byte array held once for all its owners;
// null when it cannot be had that way (the caller then reads it as usual).
void* ReadSharedByteArray(platform::HANDLE file, size_t length);
// True when both runs are the whole contents of byte arrays of one file.
bool SameSharedBytes(std::span<const uint8_t> a, std::span<const uint8_t> b);

// A run of bytes a unit or the picture table keeps: a byte array of its own,
// or a view of a large file's bytes shared with their other owners. Copies
// share in the same way; the run is never written through.
class ByteRun {
 public:
  ByteRun() = default;
  explicit ByteRun(std::span<const uint8_t> bytes) { assign(bytes.data(), bytes.data() + bytes.size()); }
  ByteRun(const ByteRun& other) : ByteRun(other.span()) {}
  ByteRun& operator=(const ByteRun& other) {
    if (this != &other) assign(other.begin(), other.end());
    return *this;
  }
  ByteRun(ByteRun&& other) noexcept : array_(std::exchange(other.array_, nullptr)) {}
  ByteRun& operator=(ByteRun&& other) noexcept {
    if (this != &other) {
      Free(array_);
      array_ = std::exchange(other.array_, nullptr);
    }
    return *this;
  }
  ~ByteRun() { Free(array_); }

  template <class Iterator>
  void assign(Iterator first, Iterator last) {
    assign(std::to_address(first), static_cast<size_t>(last - first));
  }
  void assign(const uint8_t* first, const uint8_t* last) { assign(first, static_cast<size_t>(last - first)); }
  void assign(const uint8_t* first, size_t size) {
    void* fresh = size ? CopyBytes(first, size) : nullptr;
    Free(array_);
    array_ = fresh;
  }
  void clear() {
    Free(array_);
    array_ = nullptr;
  }
  const uint8_t* data() const { return array_ ? ByteArrayData(array_) : nullptr; }
  size_t size() const { return static_cast<size_t>(ByteArrayLength(array_)); }
  bool empty() const { return size() == 0; }
  const uint8_t* begin() const { return data(); }
  const uint8_t* end() const { return data() + size(); }
  std::span<const uint8_t> span() const { return {data(), size()}; }
  operator std::span<const uint8_t>() const { return span(); }

 private:
  void* array_ = nullptr;
};

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
