#include "platform/backends/x11/x11_cursor.h"

#include <X11/cursorfont.h>

#include <algorithm>
#include <array>
#include <utility>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icons/cursor.h"

namespace platform::x11 {
namespace {

// The system cursors as the X cursor font draws them.
constexpr std::array<std::pair<uintptr_t, unsigned>, 14> kCursorShapes{{
    {IDC_ARROW, XC_left_ptr},
    {IDC_IBEAM, XC_xterm},
    {IDC_WAIT, XC_watch},
    {IDC_CROSS, XC_crosshair},
    {IDC_UPARROW, XC_sb_up_arrow},
    {IDC_SIZENWSE, XC_bottom_right_corner},
    {IDC_SIZENESW, XC_bottom_left_corner},
    {IDC_SIZEWE, XC_sb_h_double_arrow},
    {IDC_SIZENS, XC_sb_v_double_arrow},
    {IDC_SIZEALL, XC_fleur},
    {IDC_NO, XC_X_cursor},
    {IDC_HAND, XC_hand2},
    {IDC_APPSTARTING, XC_watch},
    {IDC_HELP, XC_question_arrow},
}};

// Darker than mid-grey, by the eye's weights: drawn black, not white.
bool IsDark(uint32_t argb) {
  return ((argb >> 16 & 0xFF) * 30 + (argb >> 8 & 0xFF) * 59 + (argb & 0xFF) * 11) < 128 * 100;
}

// A pixmap of X bitmap bytes, freed when it goes.
class Bitmap {
 public:
  Bitmap(Display* display, ::Window root, const CursorBits& bits, const std::vector<uint8_t>& data)
      : display_(display),
        pixmap_(XCreateBitmapFromData(display, root, reinterpret_cast<const char*>(data.data()),
                                      static_cast<unsigned>(bits.width), static_cast<unsigned>(bits.height))) {}
  ~Bitmap() {
    if (pixmap_) XFreePixmap(display_, pixmap_);
  }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  Pixmap get() const { return pixmap_; }

 private:
  Display* display_;
  Pixmap pixmap_;
};

}  // namespace

std::optional<CursorBits> TwoColourCursor(const gdi::IconObject& image) {
  const size_t pixels = static_cast<size_t>(image.width) * static_cast<size_t>(std::max(image.height, 0));
  if (image.width <= 0 || image.height <= 0 || image.colour.size() < pixels) return std::nullopt;
  CursorBits bits;
  bits.width = image.width;
  bits.height = image.height;
  bits.hotspot = image.hotspot;
  const size_t stride = (static_cast<size_t>(image.width) + 7) / 8;
  bits.source.assign(stride * static_cast<size_t>(image.height), 0);
  bits.mask.assign(bits.source.size(), 0);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const size_t i = static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x);
      const uint32_t argb = image.colour[i];
      const bool kept = i < image.mask.size() && image.mask[i];  // the AND mask keeps the screen
      bool shows, black;
      if (image.hasAlpha) {
        shows = (argb >> 24) >= 0x80;
        black = shows && IsDark(argb);
      } else if (kept) {
        shows = (argb & 0xFFFFFF) != 0;  // kept and drawn on: the screen inverts
        black = true;
      } else {
        shows = true;
        black = IsDark(argb);
      }
      const size_t at = static_cast<size_t>(y) * stride + static_cast<size_t>(x) / 8;
      const uint8_t bit = static_cast<uint8_t>(1u << (x % 8));
      if (shows) bits.mask[at] |= bit;
      if (shows && black) bits.source[at] |= bit;
    }
  }
  return bits;
}

CursorCache::~CursorCache() {
  if (connection_.Lost()) return;
  for (auto& [handle, made] : made_) XFreeCursor(connection_.Dpy(), made.cursor);
}

std::optional<unsigned> CursorCache::ShapeOf(HCURSOR cursor) const {
  auto it = made_.find(cursor);
  if (it == made_.end()) return std::nullopt;
  return it->second.shape;
}

::Cursor CursorCache::Drawn(HCURSOR cursor) {
  auto image = gdi::Lookup<gdi::IconObject>(cursor, ObjectKind::Icon);
  auto bits = image ? TwoColourCursor(*image) : std::nullopt;
  if (!bits) return None;
  Display* display = connection_.Dpy();
  Bitmap source(display, connection_.Root(), *bits, bits->source);
  Bitmap mask(display, connection_.Root(), *bits, bits->mask);
  if (!source.get() || !mask.get()) return None;
  XColor black{}, white{};
  white.red = white.green = white.blue = 0xFFFF;
  black.flags = white.flags = DoRed | DoGreen | DoBlue;
  const unsigned x = static_cast<unsigned>(std::clamp<LONG>(bits->hotspot.x, 0, bits->width - 1));
  const unsigned y = static_cast<unsigned>(std::clamp<LONG>(bits->hotspot.y, 0, bits->height - 1));
  return XCreatePixmapCursor(display, source.get(), mask.get(), &black, &white, x, y);
}

::Cursor CursorCache::For(HCURSOR cursor) {
  if (!cursor) return None;
  if (auto known = made_.find(cursor); known != made_.end()) return known->second.cursor;
  Made made{None, XC_left_ptr};
  bool system = false;
  for (const auto& [id, shape] : kCursorShapes) {
    if (LoadCursorA(0, id) == cursor) {
      made.shape = shape;
      system = true;
      break;
    }
  }
  if (!system && (made.cursor = Drawn(cursor)) != None) made.shape = kDrawn;
  if (made.cursor == None) made.cursor = XCreateFontCursor(connection_.Dpy(), made.shape);
  // Cursors destroyed since go (a window showing one keeps it until changed).
  std::erase_if(made_, [this](const auto& entry) {
    const bool gone = !gdi::Lookup<gdi::IconObject>(entry.first, ObjectKind::Icon);
    if (gone) XFreeCursor(connection_.Dpy(), entry.second.cursor);
    return gone;
  });
  made_[cursor] = made;
  return made.cursor;
}

}  // namespace platform::x11
