// platform/memory: global memory blocks, the movable blocks that property
// values and drag-and-drop media travel in. They are handle-table objects
// whose bytes GlobalLock hands out as a real pointer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/base/last_error.h"
#include "platform/base/types.h"

namespace platform {

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GMEM_SHARE = 0x2000;
inline constexpr UINT GMEM_DDESHARE = 0x2000;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
inline constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// The largest block handed out; larger requests fail as out of memory.
inline constexpr size_t kMaxGlobalBlock = size_t{1} << 30;

// 0 (ERROR_NOT_ENOUGH_MEMORY) for a zero or too large size or when the
// memory cannot be had. Without GMEM_ZEROINIT the bytes are unspecified.
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
// The block's bytes; they stay where they are until the last unlock.
// Null for a bad handle.
void* GlobalLock(HGLOBAL block);
// TRUE while the block is still locked; FALSE when this was the last lock
// (last error 0) or the block was not locked (ERROR_NOT_LOCKED).
BOOL GlobalUnlock(HGLOBAL block);
size_t GlobalSize(HGLOBAL block);  // 0 for a bad handle
// 0 on success, the handle back on failure.
HGLOBAL GlobalFree(HGLOBAL block);
// A new size for an unlocked block (a locked one may only shrink); the
// contents are kept up to the smaller size and GMEM_ZEROINIT clears the
// growth. Returns the same handle, 0 on failure.
HGLOBAL GlobalReAlloc(HGLOBAL block, size_t bytes, UINT flags);

// A new block of `flags` holding a copy of `bytes`; 0 when it cannot be had
// or `bytes` is empty.
HGLOBAL GlobalAllocCopy(UINT flags, std::span<const uint8_t> bytes);

// Holds a block locked for reading while it lives. Its bytes are empty for
// a bad handle.
class GlobalLockGuard {
 public:
  explicit GlobalLockGuard(HGLOBAL block);
  ~GlobalLockGuard();
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
  std::string_view Bytes() const { return {data_, size_}; }

 private:
  HGLOBAL block_;
  const char* data_;
  size_t size_;
};

}  // namespace platform
