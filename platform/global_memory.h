// Global memory blocks: handle-table objects whose bytes GlobalLock hands
// out as a real pointer.
#pragma once

#include <cstddef>

#include "platform/types.h"

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

// A new movable block holding a copy of the bytes; 0 when it cannot be had.
HGLOBAL GlobalCopyOf(const void* bytes, size_t size);

inline constexpr DWORD ERROR_NOT_LOCKED = 158;

}  // namespace platform
