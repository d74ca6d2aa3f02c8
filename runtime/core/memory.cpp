#include "runtime/core/memory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "platform/memory/large_blocks.h"
#include "runtime/core/ansi.h"
#include "runtime/core/application.h"
#include "runtime/core/fatal_error.h"

namespace runtime {
namespace {

// A single block never exceeds this: larger requests are treated as failures
// before they reach the heap (a wrapped size must never become a small block).
constexpr size_t kLargestBlock = static_cast<size_t>(std::numeric_limits<int32_t>::max()) + 8;

// The heap below the huge-page threshold; a mapping of its own from there on,
// so a block of megabytes costs a few faults, not one per 4 KiB page, or
// none when the pages of freed blocks serve (unset, as the heap's are). A
// mapping that cannot be had leaves the request to the heap. Under the
// address sanitizer every block stays with its allocator, which guards the
// bytes past each one.
void* HeapOrMapping(size_t size) {
#ifndef __SANITIZE_ADDRESS__
  if (size >= platform::kHugePageBlockFrom) {
    if (void* mapped = platform::MapLargeBlock(size, platform::BlockContents::Unset)) return mapped;
  }
#endif
  return std::malloc(size ? size : 1);
}

void ReleaseBlock(void* block) noexcept {
  if (!platform::UnmapLargeBlock(block)) std::free(block);
}

}  // namespace

// The size is shown as the 32-bit signed number the caller asked for, so a
// negative request reads as one.
void OutOfMemory(size_t size) {
  char text[96];
  std::snprintf(text, sizeof text, Ansi("分配 %d 字节内存失败!").c_str(), static_cast<int32_t>(size));
  FatalError(text, 0, 0, 0);
}

size_t RequestedSize(const std::bad_alloc& failure) {
  const auto* known = dynamic_cast<const AllocationFailure*>(&failure);
  return known ? known->Size() : 0;
}

size_t CheckedSize(size_t a, size_t b) {
  if (a > std::numeric_limits<size_t>::max() - b) OutOfMemory(std::numeric_limits<size_t>::max());
  return a + b;
}

void* TryAllocate(size_t size) {
  if (size > kLargestBlock) return nullptr;
  return HeapOrMapping(size);
}

void* Allocate(size_t size) {
  void* block = TryAllocate(size);
  if (!block) OutOfMemory(size);
  return block;
}

void* Reallocate(void* block, size_t size) {
  if (!block) return Allocate(size);
  const Application& app = App();
  if (app.InConstantBlock(block)) {
    // Constants are never resized: copy what lies up to the block's end.
    void* fresh = Allocate(size);
    size_t available = static_cast<size_t>(app.constantEnd - static_cast<const uint8_t*>(block));
    std::memcpy(fresh, block, size < available ? size : available);
    return fresh;
  }
  if (const size_t viewed = App().byteArrayViews.BlockBytes(block)) {
    // A view of a shared file's bytes moves to the heap to grow or shrink.
    void* fresh = Allocate(size);
    std::memcpy(fresh, block, size < viewed ? size : viewed);
    Free(block);
    return fresh;
  }
  if (size > kLargestBlock) OutOfMemory(size);
  if (const size_t mapped = platform::LargeBlockBytes(block)) {
    void* fresh = Allocate(size);
    std::memcpy(fresh, block, size < mapped ? size : mapped);
    ReleaseBlock(block);
    return fresh;
  }
  void* resized = std::realloc(block, size ? size : 1);
  if (!resized) OutOfMemory(size);
  return resized;
}

void Free(void* block) {
  if (!block || App().InConstantBlock(block)) return;
  if (App().byteArrayViews.Release(block)) return;
  ReleaseBlock(block);
}

void* ReadSharedByteArray(platform::HANDLE file, size_t length) { return App().byteArrayViews.Read(file, length); }

bool SameSharedBytes(std::span<const uint8_t> a, std::span<const uint8_t> b) { return App().byteArrayViews.Same(a, b); }

char* CopyText(std::string_view text) {
  if (text.empty()) return nullptr;
  auto* copy = static_cast<char*>(Allocate(CheckedSize(text.size(), 1)));
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = 0;
  return copy;
}

char* CopyText(const char* text) { return CopyText(TextView(text)); }

void* CopyBytes(const void* data, size_t length) {
  if (length == 0) return nullptr;
  if (length > static_cast<size_t>(std::numeric_limits<int32_t>::max())) OutOfMemory(CheckedSize(length, 8));
  if (void* shared = App().byteArrayViews.Share(data, length)) return shared;
  auto* block = static_cast<uint8_t*>(Allocate(CheckedSize(length, kByteArrayHeader)));
  int32_t header[2] = {1, static_cast<int32_t>(length)};
  std::memcpy(block, header, sizeof header);
  std::memcpy(block + kByteArrayHeader, data, length);
  return block;
}

}  // namespace runtime

// The program's `new`: the runtime's blocks, with the size of a request that
// fails carried in what it throws.
void* operator new(std::size_t size) {
  if (void* block = runtime::HeapOrMapping(size)) return block;
  throw runtime::AllocationFailure(size);
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return runtime::HeapOrMapping(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return runtime::HeapOrMapping(size); }
void operator delete(void* block) noexcept { runtime::ReleaseBlock(block); }
void operator delete[](void* block) noexcept { runtime::ReleaseBlock(block); }
void operator delete(void* block, std::size_t) noexcept { runtime::ReleaseBlock(block); }
void operator delete[](void* block, std::size_t) noexcept { runtime::ReleaseBlock(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { runtime::ReleaseBlock(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { runtime::ReleaseBlock(block); }
