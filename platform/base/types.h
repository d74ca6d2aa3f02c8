// platform/base: what every service of the platform stands on. The handful of
// OS-shaped types the runtime's code is written against (handles, rectangles,
// the integer types of the calls), the handle table, the thread's last error
// with its one errno map, the size gate every pixel buffer passes, the one
// interface a display backend fills, and the System object that owns the
// process-wide state. Nothing here includes another platform folder.
#pragma once

#include <algorithm>

#include <cstdint>

namespace platform {

// Every OS object the runtime holds is a 32-bit handle from the System's
// handle table; 0 is none.
using Handle = uint32_t;
using HANDLE = Handle;
using HWND = Handle;
using HDC = Handle;
using HBITMAP = Handle;
using HBRUSH = Handle;
using HPEN = Handle;
using HFONT = Handle;
using HICON = Handle;
using HCURSOR = Handle;
using HRGN = Handle;
using HMENU = Handle;
using HGLOBAL = Handle;
using HACCEL = Handle;
using HGDIOBJ = Handle;

using BOOL = int32_t;
using UINT = uint32_t;
using DWORD = uint32_t;
using WORD = uint16_t;
using BYTE = uint8_t;
using LONG = int32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using COLORREF = uint32_t;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// Handles are 32-bit values; where one is invalid the file calls answer this.
inline constexpr Handle INVALID_HANDLE = 0xFFFFFFFFu;

struct POINT {
  LONG x = 0;
  LONG y = 0;
};

struct SIZE {
  LONG cx = 0;
  LONG cy = 0;
};

struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;

  LONG Width() const { return right - left; }
  LONG Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  // Left and top edges inside, right and bottom outside.
  bool Contains(LONG x, LONG y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const RECT&) const = default;
};

// The part both rectangles cover; RECT{} when they miss.
inline RECT IntersectRects(const RECT& a, const RECT& b) {
  const RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
  return r.IsEmpty() ? RECT{} : r;
}

}  // namespace platform
