// A 32-bit pixel buffer: every pixel is four bytes blue, green, red, unused
// (read as a little-endian uint32 that is 0x00RRGGBB). Window client areas,
// colour bitmaps and DIB sections all draw into one of these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/base/types.h"

namespace platform {

// COLORREF is 0x00BBGGRR; a stored pixel reads as 0x00RRGGBB.
constexpr uint32_t ColorToPixel(COLORREF c) { return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu); }
constexpr COLORREF PixelToColor(uint32_t p) { return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu); }

class Surface {
 public:
  // Null when a side is not positive or the buffer cannot be had. The pixels
  // start zeroed (black).
  static std::shared_ptr<Surface> Create(int32_t width, int32_t height);
  // A surface over memory it does not own (a DIB section's block). `stride`
  // is the byte step from row y to row y + 1; it is negative for rows stored
  // bottom-up, and `firstRow` is then the address of row 0 (the top).
  // `keepAlive` holds the memory for as long as the surface lives.
  static std::shared_ptr<Surface> Wrap(uint8_t* firstRow, int32_t width, int32_t height, ptrdiff_t stride,
                                       std::shared_ptr<void> keepAlive);

  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  ~Surface() = default;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  // Bytes from one row to the next (4 * Width() for surfaces from Create).
  ptrdiff_t Stride() const { return stride_; }

  uint8_t* Row(int32_t y) { return first_ + y * stride_; }
  const uint8_t* Row(int32_t y) const { return first_ + y * stride_; }
  uint32_t* Row32(int32_t y) { return reinterpret_cast<uint32_t*>(Row(y)); }
  const uint32_t* Row32(int32_t y) const { return reinterpret_cast<const uint32_t*>(Row(y)); }

  // Unchecked; callers clip first.
  uint32_t PixelAt(int32_t x, int32_t y) const { return Row32(y)[x]; }
  COLORREF ColorAt(int32_t x, int32_t y) const { return PixelToColor(PixelAt(x, y)); }
  void SetColorAt(int32_t x, int32_t y, COLORREF c) { Row32(y)[x] = ColorToPixel(c); }

  // Held by every drawing call while it writes the pixels, so two threads
  // drawing on one window (or a presenter reading it) never interleave
  // inside a row. Not held by Fill or the pixel accessors above.
  std::mutex& Mutex() const { return mutex_; }

  // Damage: what changed since the display last showed the surface. Any
  // thread may record it; the listener (the display's wake-up) hears only
  // the first change after each TakeDamage, so drawing stays cheap.
  void AddDamage(const RECT& area);
  // The bounding rectangle of the changes since the last call; empty when none.
  RECT TakeDamage();
  void SetDamageListener(std::function<void()> listener);

  // Fills the rectangle (clipped to the surface) with one colour.
  void Fill(const RECT& area, COLORREF colour);
  void Fill(COLORREF colour) { Fill(RECT{0, 0, width_, height_}, colour); }

 private:
  struct Token {};

 public:
  Surface(Token, uint8_t* first, int32_t width, int32_t height, ptrdiff_t stride, std::shared_ptr<void> storage);

 private:
  uint8_t* first_;
  int32_t width_;
  int32_t height_;
  ptrdiff_t stride_;
  std::shared_ptr<void> storage_;
  mutable std::mutex mutex_;
  std::mutex damageMutex_;
  RECT damage_{};
  std::function<void()> damageListener_;
};

// Holds a surface's drawing lock while pixels are written and records the
// written area as damage when released. A null surface (a bitmap without
// one) does nothing.
class SurfaceWrite {
 public:
  SurfaceWrite(const std::shared_ptr<Surface>& surface, RECT bounds);
  SurfaceWrite(const SurfaceWrite&) = delete;
  SurfaceWrite& operator=(const SurfaceWrite&) = delete;
  ~SurfaceWrite();

 private:
  Surface* surface_;
  RECT bounds_;
  std::unique_lock<std::mutex> lock_;
};

// Where a window's drawing lands: its top-level window's surface and the part
// of it the window may touch. The windows layer works it out; window DCs ask
// for it afresh at every drawing call.
struct WindowDrawTarget {
  std::shared_ptr<Surface> surface;  // null when the window draws nowhere
  POINT origin;                      // the window's client (0, 0) in surface coordinates
  std::vector<RECT> visible;         // surface coordinates; empty = draws nothing
};

}  // namespace platform
