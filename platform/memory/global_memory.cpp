#include "platform/memory/global_memory.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "platform/base/last_error.h"
#include "platform/base/system.h"

namespace platform {
namespace {

struct GlobalBlock : HandleObject {
  std::mutex mutex;
  std::unique_ptr<uint8_t[]> bytes;
  size_t size = 0;
  uint32_t locks = 0;
};

std::shared_ptr<GlobalBlock> FindBlock(HGLOBAL block) {
  auto found = System::Get().Handles().Get<GlobalBlock>(block, ObjectKind::GlobalMemory);
  if (!found) SetLastError(ERROR_INVALID_HANDLE);
  return found;
}

// Null when the size is refused or the memory cannot be had.
std::unique_ptr<uint8_t[]> Allocate(size_t bytes, bool zero) {
  if (bytes == 0 || bytes > kMaxGlobalBlock) return nullptr;
  return std::unique_ptr<uint8_t[]>(zero ? new (std::nothrow) uint8_t[bytes]() : new (std::nothrow) uint8_t[bytes]);
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, size_t bytes) {
  auto block = std::make_shared<GlobalBlock>();
  block->bytes = Allocate(bytes, (flags & GMEM_ZEROINIT) != 0);
  if (!block->bytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  block->size = bytes;
  HGLOBAL handle = System::Get().Handles().Add(ObjectKind::GlobalMemory, block);
  if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

void* GlobalLock(HGLOBAL handle) {
  auto block = FindBlock(handle);
  if (!block) return nullptr;
  std::lock_guard lock(block->mutex);
  if (block->locks < UINT32_MAX) ++block->locks;
  return block->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL handle) {
  auto block = FindBlock(handle);
  if (!block) return FALSE;
  std::lock_guard lock(block->mutex);
  if (block->locks == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--block->locks > 0) return TRUE;
  SetLastError(ERROR_SUCCESS);
  return FALSE;
}

size_t GlobalSize(HGLOBAL handle) {
  auto block = FindBlock(handle);
  if (!block) return 0;
  std::lock_guard lock(block->mutex);
  return block->size;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
  if (!System::Get().Handles().Remove(handle, ObjectKind::GlobalMemory)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return handle;
  }
  return 0;
}

HGLOBAL GlobalReAlloc(HGLOBAL handle, size_t bytes, UINT flags) {
  auto block = FindBlock(handle);
  if (!block) return 0;
  std::lock_guard lock(block->mutex);
  if (bytes == 0 || bytes > kMaxGlobalBlock) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  if (block->locks > 0) {
    // Locked bytes may not move: a locked block only shrinks, in place.
    if (bytes > block->size) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return 0;
    }
    block->size = bytes;
    return handle;
  }
  auto fresh = Allocate(bytes, false);
  if (!fresh) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  const size_t kept = std::min(bytes, block->size);
  std::memcpy(fresh.get(), block->bytes.get(), kept);
  if ((flags & GMEM_ZEROINIT) && bytes > kept) std::memset(fresh.get() + kept, 0, bytes - kept);
  block->bytes = std::move(fresh);
  block->size = bytes;
  return handle;
}

HGLOBAL GlobalAllocCopy(UINT flags, std::span<const uint8_t> bytes) {
  if (bytes.empty()) return 0;
  HGLOBAL block = GlobalAlloc(flags, bytes.size());
  void* p = block ? GlobalLock(block) : nullptr;
  if (!p) {
    if (block) GlobalFree(block);
    return 0;
  }
  std::memcpy(p, bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

GlobalLockGuard::GlobalLockGuard(HGLOBAL block)
    : block_(block), data_(static_cast<const char*>(GlobalLock(block))), size_(data_ ? GlobalSize(block) : 0) {}

GlobalLockGuard::~GlobalLockGuard() {
  if (data_) GlobalUnlock(block_);
}

}  // namespace platform
