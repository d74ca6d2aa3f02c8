// FillRect and the two shapes this program can ask for, drawn as runs of
// pattern blits through the DC's ROP2.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "platform/gdi/blit.h"
#include "platform/gdi/blit_engine.h"
#include "platform/gdi/raster/rop_table.h"

namespace platform {

using namespace gdi;

COLORREF GetPixel(HDC dcHandle, int x, int y) {
  auto dc = FindDc(dcHandle);
  if (!dc) return CLR_INVALID;
  const DrawTarget target = TargetOf(*dc);
  if (!target.plane.first) return CLR_INVALID;
  const POINT p = ToDevice(dc->state, POINT{x, y});
  const int64_t px = int64_t{p.x} + target.origin.x, py = int64_t{p.y} + target.origin.y;
  if (px < 0 || py < 0 || px >= target.plane.width || py >= target.plane.height) return CLR_INVALID;
  uint32_t v = 0;
  KernelsFor(target.plane.format).load(target.plane, static_cast<int32_t>(px), static_cast<int32_t>(py), 1, &v);
  return target.plane.format == PixelFormat::Mono1 ? (v ? 0xFFFFFFu : 0u) : PixelToColor(v);
}

COLORREF SetPixel(HDC dcHandle, int x, int y, COLORREF colour) {
  auto dc = FindDc(dcHandle);
  if (!dc) return CLR_INVALID;
  const DrawTarget target = TargetOf(*dc);
  if (!target.plane.first) return CLR_INVALID;
  const POINT p = ToDevice(dc->state, POINT{x, y});
  const int64_t px = int64_t{p.x} + target.origin.x, py = int64_t{p.y} + target.origin.y;
  if (px < INT32_MIN || py < INT32_MIN || px >= INT32_MAX || py >= INT32_MAX) return CLR_INVALID;
  const auto cx = static_cast<LONG>(px), cy = static_cast<LONG>(py);
  if (!target.clip.Contains(cx, cy)) return CLR_INVALID;
  const Domain domain = target.plane.format == PixelFormat::Mono1 ? Domain::Mono : Domain::Colour;
  const uint32_t v = ColourInDomain(colour & 0x00FFFFFFu, domain);
  SurfaceWrite write(target.surface, RECT{cx, cy, cx + 1, cy + 1});
  KernelsFor(target.plane.format).store(target.plane, cx, cy, 1, &v);
  return domain == Domain::Mono ? (v ? 0xFFFFFFu : 0u) : (colour & 0x00FFFFFFu);
}

int FillRect(HDC dcHandle, const RECT* rect, HBRUSH brushHandle) {
  auto dc = FindDc(dcHandle);
  auto brush = Lookup<BrushObject>(brushHandle, ObjectKind::Brush);
  if (!dc || !rect || !brush) return 0;
  const DrawTarget target = TargetOf(*dc);
  const RECT area = Shifted(ToDeviceRect(dc->state, *rect), target.origin);
  RunBlit(*dc, target, area, nullptr, RopIndex(PATCOPY), brush.get());
  return 1;
}

namespace {

struct ShapeSetup {
  std::shared_ptr<DeviceContext> dc;
  DrawTarget target;
  RECT box;          // device rectangle in target-plane coordinates
  int penWidth = 0;  // 0: no outline
  BrushObject penBrush;
  uint8_t rop = 0;
};

std::optional<ShapeSetup> Setup(HDC dcHandle, int left, int top, int right, int bottom) {
  ShapeSetup s;
  s.dc = FindDc(dcHandle);
  if (!s.dc) return std::nullopt;
  s.target = TargetOf(*s.dc);
  // Shapes far outside any surface are refused rather than overflowing.
  constexpr int kLimit = 1 << 28;
  for (int v : {left, top, right, bottom})
    if (v > kLimit || v < -kLimit) return std::nullopt;
  const RECT box = Shifted(ToDeviceRect(s.dc->state, RECT{std::min(left, right), std::min(top, bottom),
                                                          std::max(left, right), std::max(top, bottom)}),
                           s.target.origin);
  s.box = box;
  const PenObject* pen = s.dc->state.penObject.get();
  if (pen && pen->style != PS_NULL) {
    // Styled pens draw solid: nothing here draws dashes.
    s.penWidth = std::max(1, pen->width);
    s.penBrush.style = BS_SOLID;
    s.penBrush.colour = pen->colour;
    // A pen wider than one pixel straddles the outline unless it is an inside frame.
    if (pen->style != PS_INSIDEFRAME && s.penWidth > 1) {
      const int grow = (s.penWidth - 1) / 2;
      s.box =
          RECT{box.left - grow, box.top - grow, box.right + s.penWidth - 1 - grow, box.bottom + s.penWidth - 1 - grow};
    }
  }
  s.rop = RopIndexForRop2(s.dc->state.rop2);
  return s;
}

void Band(const ShapeSetup& s, LONG x0, LONG y0, LONG x1, LONG y1, const BrushObject* brush) {
  // A hollow brush leaves the interior alone whatever the ROP2.
  if (x0 >= x1 || y0 >= y1 || !brush || brush->style == BS_NULL) return;
  RunBlit(*s.dc, s.target, RECT{x0, y0, x1, y1}, nullptr, s.rop, brush);
}

// Pixels [first, last] of row y whose centres lie inside the ellipse
// inscribed in `box`; first > last when none.
std::pair<LONG, LONG> EllipseSpan(const RECT& box, LONG y) {
  const double a = (box.right - box.left) / 2.0, b = (box.bottom - box.top) / 2.0;
  if (a <= 0 || b <= 0) return {1, 0};
  const double cx = box.left + a, cy = box.top + b;
  const double dy = (y + 0.5 - cy) / b;
  if (dy * dy > 1) return {1, 0};
  const double half = a * std::sqrt(1 - dy * dy);
  return {static_cast<LONG>(std::ceil(cx - half - 0.5)), static_cast<LONG>(std::floor(cx + half - 0.5))};
}

}  // namespace

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
  auto s = Setup(dc, left, top, right, bottom);
  if (!s) return FALSE;
  if (!s->target.plane.first) return TRUE;
  const RECT& o = s->box;
  const int w = s->penWidth;
  Band(*s, o.left + w, o.top + w, o.right - w, o.bottom - w, s->dc->state.brushObject.get());
  if (w > 0) {
    Band(*s, o.left, o.top, o.right, std::min(o.bottom, o.top + w), &s->penBrush);
    Band(*s, o.left, std::max(o.top + w, o.bottom - w), o.right, o.bottom, &s->penBrush);
    Band(*s, o.left, o.top + w, std::min(o.right, o.left + w), o.bottom - w, &s->penBrush);
    Band(*s, std::max(o.left + w, o.right - w), o.top + w, o.right, o.bottom - w, &s->penBrush);
  }
  return TRUE;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
  auto s = Setup(dc, left, top, right, bottom);
  if (!s) return FALSE;
  if (!s->target.plane.first) return TRUE;
  const RECT& o = s->box;
  const int w = s->penWidth;
  const RECT inner{o.left + w, o.top + w, o.right - w, o.bottom - w};
  for (LONG y = o.top; y < o.bottom; ++y) {
    const auto [ox0, ox1] = EllipseSpan(o, y);
    if (ox0 > ox1) continue;
    const auto [ix0, ix1] = w > 0 ? EllipseSpan(inner, y) : std::pair<LONG, LONG>{ox0, ox1};
    if (ix0 > ix1) {
      Band(*s, ox0, y, ox1 + 1, y + 1, &s->penBrush);
      continue;
    }
    Band(*s, ix0, y, ix1 + 1, y + 1, s->dc->state.brushObject.get());
    if (w > 0) {
      Band(*s, ox0, y, ix0, y + 1, &s->penBrush);
      Band(*s, ix1 + 1, y, ox1 + 1, y + 1, &s->penBrush);
    }
  }
  return TRUE;
}

}  // namespace platform
