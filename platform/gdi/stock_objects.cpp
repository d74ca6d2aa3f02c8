#include "platform/gdi/stock_objects.h"

#include <array>
#include <cstring>

namespace platform::gdi {

LOGFONTA DefaultGuiFont() {
  LOGFONTA f;
  f.lfHeight = -11;
  f.lfWeight = 400;
  f.lfCharSet = 1;  // DEFAULT_CHARSET
  std::strcpy(f.lfFaceName, "Sans");
  return f;
}

HBRUSH MakeStockBrush(UINT style, COLORREF colour) {
  auto b = std::make_shared<BrushObject>();
  b->style = style;
  b->colour = colour;
  b->stock = true;
  return Handles().Add(ObjectKind::Brush, b);
}

namespace {

struct StockSet {
  std::array<Handle, DC_PEN + 1> objects{};
  HBITMAP defaultBitmap = 0;

  StockSet() {
    auto brush = &MakeStockBrush;
    auto pen = [](int style, COLORREF colour) {
      auto p = std::make_shared<PenObject>();
      p->style = style;
      p->colour = colour;
      p->stock = true;
      return Handles().Add(ObjectKind::Pen, p);
    };
    auto font = [](LONG height, const char* face) {
      auto f = std::make_shared<FontObject>();
      f->font = DefaultGuiFont();
      f->font.lfHeight = height;
      std::strncpy(f->font.lfFaceName, face, sizeof f->font.lfFaceName - 1);
      f->stock = true;
      return Handles().Add(ObjectKind::Font, f);
    };
    objects[WHITE_BRUSH] = brush(BS_SOLID, 0xFFFFFF);
    objects[LTGRAY_BRUSH] = brush(BS_SOLID, 0xC0C0C0);
    objects[GRAY_BRUSH] = brush(BS_SOLID, 0x808080);
    objects[DKGRAY_BRUSH] = brush(BS_SOLID, 0x404040);
    objects[BLACK_BRUSH] = brush(BS_SOLID, 0x000000);
    objects[NULL_BRUSH] = brush(BS_NULL, 0);
    objects[DC_BRUSH] = brush(BS_SOLID, 0xFFFFFF);
    objects[WHITE_PEN] = pen(PS_SOLID, 0xFFFFFF);
    objects[BLACK_PEN] = pen(PS_SOLID, 0x000000);
    objects[NULL_PEN] = pen(PS_NULL, 0);
    objects[DC_PEN] = pen(PS_SOLID, 0x000000);
    objects[OEM_FIXED_FONT] = font(12, "Fixed");
    objects[ANSI_FIXED_FONT] = font(12, "Monospace");
    objects[ANSI_VAR_FONT] = font(12, "Sans Serif");
    objects[SYSTEM_FONT] = font(16, "System");
    objects[DEVICE_DEFAULT_FONT] = font(16, "System");
    objects[SYSTEM_FIXED_FONT] = font(16, "Fixed");
    objects[DEFAULT_GUI_FONT] = font(-11, "Sans");
    objects[DEFAULT_PALETTE] = MakeStockPalette();
    auto bitmap = BitmapObject::CreateMono(1, 1);
    if (bitmap) {
      bitmap->stock = true;
      defaultBitmap = Handles().Add(ObjectKind::Bitmap, bitmap);
    }
  }
};

// Built on first use and never changed afterwards. It lives here rather than
// on System until System grows a slot for it.
const StockSet& Stock() {
  static const StockSet set;
  return set;
}

}  // namespace

Handle StockHandle(int which) {
  if (which < 0 || which > DC_PEN) return 0;
  return Stock().objects[static_cast<size_t>(which)];
}

HBITMAP DefaultBitmapHandle() { return Stock().defaultBitmap; }

DcState DefaultDcState() {
  DcState s;
  s.brush = StockHandle(WHITE_BRUSH);
  s.pen = StockHandle(BLACK_PEN);
  s.font = StockHandle(SYSTEM_FONT);
  s.brushObject = Lookup<BrushObject>(s.brush, ObjectKind::Brush);
  s.penObject = Lookup<PenObject>(s.pen, ObjectKind::Pen);
  s.fontObject = Lookup<FontObject>(s.font, ObjectKind::Font);
  return s;
}

}  // namespace platform::gdi
