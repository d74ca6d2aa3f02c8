// The X cursors the backend shows: the system cursors as shapes of the X
// cursor font, and cursors from files drawn from their own pixels as
// two-colour pixmap cursors. Each is made once and freed with the cache.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/backends/x11/x11_connection.h"
#include "platform/base/types.h"

namespace platform::gdi {
class IconObject;
}

namespace platform::x11 {

// A cursor image in two colours, as X bitmaps take it: rows of
// (width + 7) / 8 bytes, the leftmost pixel in the lowest bit.
struct CursorBits {
  int width = 0;
  int height = 0;
  POINT hotspot;
  std::vector<uint8_t> source;  // 1: black, 0: white
  std::vector<uint8_t> mask;    // 1: the pixel shows
};

// Pixels at least half transparent (or left alone by the AND mask) do not
// show; the rest are black when dark, white when light. A pixel that would
// invert the screen shows black. None for an image with no pixels.
std::optional<CursorBits> TwoColourCursor(const gdi::IconObject& image);

class CursorCache {
 public:
  explicit CursorCache(Connection& connection) : connection_(connection) {}
  ~CursorCache();
  CursorCache(const CursorCache&) = delete;
  CursorCache& operator=(const CursorCache&) = delete;

  // None for 0; the arrow for a cursor that cannot be drawn.
  ::Cursor For(HCURSOR cursor);

  // How a cursor was made: its cursor-font shape, or kDrawn for one drawn
  // from its pixels; none before it was asked for.
  static constexpr unsigned kDrawn = ~0u;
  std::optional<unsigned> ShapeOf(HCURSOR cursor) const;

 private:
  struct Made {
    ::Cursor cursor;
    unsigned shape;
  };
  ::Cursor Drawn(HCURSOR cursor);

  Connection& connection_;
  std::map<HCURSOR, Made> made_;
};

}  // namespace platform::x11
