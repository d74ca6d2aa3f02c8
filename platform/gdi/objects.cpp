// Pens, brushes and fonts, and selecting, deleting and describing any
// drawing object.
#include "platform/gdi/objects.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/rgn.h"
#include "platform/gdi/stock_objects.h"

namespace platform {

using namespace gdi;

HBRUSH CreateSolidBrush(COLORREF colour) {
  auto brush = std::make_shared<BrushObject>();
  brush->style = BS_SOLID;
  brush->colour = colour & 0x00FFFFFFu;
  return Handles().Add(ObjectKind::Brush, brush);
}

HBRUSH CreateHatchBrush(int hatch, COLORREF colour) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return 0;
  auto brush = std::make_shared<BrushObject>();
  brush->style = BS_HATCHED;
  brush->hatch = hatch;
  brush->colour = colour & 0x00FFFFFFu;
  return Handles().Add(ObjectKind::Brush, brush);
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  auto source = Lookup<BitmapObject>(bitmap, ObjectKind::Bitmap);
  if (!source) return 0;
  auto brush = std::make_shared<BrushObject>();
  brush->style = BS_PATTERN;
  brush->pattern = source->Clone();
  if (!brush->pattern) return 0;
  return Handles().Add(ObjectKind::Brush, brush);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* logical) {
  if (!logical) return 0;
  switch (logical->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(logical->lbColor);
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(logical->lbHatch), logical->lbColor);
    case BS_PATTERN: return CreatePatternBrush(static_cast<HBITMAP>(logical->lbHatch));
    case BS_NULL: {
      auto brush = std::make_shared<BrushObject>();
      brush->style = BS_NULL;
      return Handles().Add(ObjectKind::Brush, brush);
    }
    default: return 0;
  }
}

HPEN CreatePen(int style, int width, COLORREF colour) {
  if (style < PS_SOLID || style > PS_ALTERNATE || width < 0) return 0;
  auto pen = std::make_shared<PenObject>();
  pen->style = style;
  // Styled lines are one pixel wide whatever width was asked for.
  pen->width = (style == PS_SOLID || style == PS_INSIDEFRAME) ? width : std::min(width, 1);
  pen->colour = colour & 0x00FFFFFFu;
  return Handles().Add(ObjectKind::Pen, pen);
}

HFONT CreateFontIndirectA(const LOGFONTA* logical) {
  if (!logical) return 0;
  auto font = std::make_shared<FontObject>();
  font->font = *logical;
  font->font.lfFaceName[sizeof font->font.lfFaceName - 1] = '\0';
  return Handles().Add(ObjectKind::Font, font);
}

HGDIOBJ GetStockObject(int which) { return StockHandle(which); }

namespace {

HGDIOBJ SelectBitmap(DeviceContext& dc, HBITMAP handle) {
  if (dc.kind != DeviceContext::Kind::Memory) return 0;
  auto bitmap = Lookup<BitmapObject>(handle, ObjectKind::Bitmap);
  if (!bitmap) return 0;
  if (bitmap == dc.bitmap) return handle;
  if (!bitmap->stock) {
    HDC none = 0;
    if (!bitmap->selectedIn.compare_exchange_strong(none, dc.self)) return 0;  // in another DC
  }
  if (dc.bitmap && !dc.bitmap->stock) dc.bitmap->selectedIn.store(0);
  const HBITMAP previous = dc.state.bitmap;
  dc.bitmap = std::move(bitmap);
  dc.state.bitmap = handle;
  return previous;
}

}  // namespace

namespace {

// Puts `object` in a DC's slot for its kind and hands back what was there.
template <class T>
HGDIOBJ Swap(HGDIOBJ object, ObjectKind kind, HGDIOBJ& handleSlot, std::shared_ptr<T>& objectSlot) {
  auto found = Lookup<T>(object, kind);
  if (!found) return 0;
  const HGDIOBJ previous = handleSlot;
  handleSlot = object;
  objectSlot = std::move(found);
  return previous;
}

}  // namespace

HGDIOBJ SelectObject(HDC dcHandle, HGDIOBJ object) {
  auto dc = FindDc(dcHandle);
  if (!dc) return 0;
  const auto kind = Handles().KindOf(object);
  if (!kind) return 0;
  DcState& s = dc->state;
  switch (*kind) {
    case ObjectKind::Bitmap: return SelectBitmap(*dc, object);
    case ObjectKind::Brush: return Swap(object, ObjectKind::Brush, s.brush, s.brushObject);
    case ObjectKind::Pen: return Swap(object, ObjectKind::Pen, s.pen, s.penObject);
    case ObjectKind::Font: return Swap(object, ObjectKind::Font, s.font, s.fontObject);
    case ObjectKind::Region: {
      const int result = SelectClipRgn(dcHandle, object);
      return result == ERROR ? 0 : static_cast<HGDIOBJ>(result);
    }
    default: return 0;
  }
}

namespace {

template <class T>
bool IsStock(HGDIOBJ object, ObjectKind kind) {
  auto found = Lookup<T>(object, kind);
  return found && found->stock;
}

}  // namespace

BOOL DeleteObject(HGDIOBJ object) {
  const auto kind = Handles().KindOf(object);
  if (!kind) return FALSE;
  switch (*kind) {
    case ObjectKind::Bitmap: {
      auto bitmap = Lookup<BitmapObject>(object, ObjectKind::Bitmap);
      if (!bitmap) return FALSE;
      if (bitmap->stock) return TRUE;
      if (bitmap->selectedIn.load() != 0) return FALSE;
      break;
    }
    case ObjectKind::Brush:
      if (IsStock<BrushObject>(object, *kind)) return TRUE;
      break;
    case ObjectKind::Pen:
      if (IsStock<PenObject>(object, *kind)) return TRUE;
      break;
    case ObjectKind::Font:
      if (IsStock<FontObject>(object, *kind)) return TRUE;
      break;
    case ObjectKind::Palette:
      if (IsStockPalette(object)) return TRUE;
      break;
    case ObjectKind::Region: break;
    default: return FALSE;
  }
  return Handles().Remove(object, *kind) ? TRUE : FALSE;
}

namespace {

template <class T>
int CopyOut(const T& value, int size, void* out) {
  if (!out) return static_cast<int>(sizeof(T));
  if (size < static_cast<int>(sizeof(T))) return 0;
  std::memcpy(out, &value, sizeof(T));
  return static_cast<int>(sizeof(T));
}

BITMAP Describe(BitmapObject& bitmap) {
  BITMAP b;
  b.bmWidth = bitmap.Width();
  b.bmHeight = bitmap.Height();
  b.bmPlanes = 1;
  if (bitmap.Format() == PixelFormat::Mono1) {
    b.bmBitsPixel = 1;
    b.bmWidthBytes = static_cast<LONG>(bitmap.MonoStride());
  } else {
    b.bmBitsPixel = 32;
    b.bmWidthBytes = bitmap.Width() * 4;
  }
  b.bmBits = bitmap.dibBits;
  return b;
}

}  // namespace

int GetObjectA(HGDIOBJ object, int size, void* out) {
  const auto kind = Handles().KindOf(object);
  if (!kind || size < 0) return 0;
  switch (*kind) {
    case ObjectKind::Bitmap: {
      auto bitmap = Lookup<BitmapObject>(object, *kind);
      if (!bitmap) return 0;
      const BITMAP b = Describe(*bitmap);
      if (bitmap->dibHeader && (size >= static_cast<int>(sizeof(DIBSECTION)) || !out)) {
        DIBSECTION d{};
        d.dsBm = b;
        d.dsBmih = *bitmap->dibHeader;
        return CopyOut(d, size, out);
      }
      return CopyOut(b, size, out);
    }
    case ObjectKind::Brush: {
      auto brush = Lookup<BrushObject>(object, *kind);
      if (!brush) return 0;
      LOGBRUSH b;
      b.lbStyle = brush->style;
      b.lbColor = brush->colour;
      b.lbHatch = brush->style == BS_HATCHED ? static_cast<uintptr_t>(brush->hatch) : 0;
      return CopyOut(b, size, out);
    }
    case ObjectKind::Pen: {
      auto pen = Lookup<PenObject>(object, *kind);
      if (!pen) return 0;
      LOGPEN p;
      p.lopnStyle = static_cast<UINT>(pen->style);
      p.lopnWidth = POINT{pen->width, 0};
      p.lopnColor = pen->colour;
      return CopyOut(p, size, out);
    }
    case ObjectKind::Font: {
      auto font = Lookup<FontObject>(object, *kind);
      return font ? CopyOut(font->font, size, out) : 0;
    }
    default: return 0;
  }
}

}  // namespace platform
