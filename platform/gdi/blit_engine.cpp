#include "platform/gdi/blit_engine.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/gdi/raster/rop_table.h"

namespace platform::gdi {

namespace {

// Hatch styles as 8 x 8 bit masks, one byte a row, bit 7 the leftmost pixel.
constexpr uint8_t kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00},  // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL: top left to bottom right
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL: bottom left to top right
    {0x08, 0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
};

// A brush resolved against one target: a tile of operation-domain values
// anchored at the brush origin, and for hatches drawn transparently the
// pixels that must keep the target.
struct Pattern {
  int32_t width = 1;
  int32_t height = 1;
  int64_t anchorX = 0;  // target-plane position of tile pixel (0, 0)
  int64_t anchorY = 0;
  std::vector<uint32_t> values;
  std::vector<uint8_t> keep;
  std::vector<uint32_t> old;  // empty unless some pixels keep the target

  static int32_t Wrap(int64_t v, int32_t size) { return static_cast<int32_t>((v % size + size) % size); }

  void Fill(int32_t x, int32_t y, int32_t n, uint32_t* out, uint8_t* keepOut) const {
    const int32_t row = Wrap(int64_t{y} - anchorY, height);
    const uint32_t* tile = values.data() + static_cast<size_t>(row) * width;
    int32_t col = Wrap(int64_t{x} - anchorX, width);
    if (width == 1) {
      std::fill_n(out, n, tile[0]);
    } else {
      for (int32_t i = 0; i < n; ++i) {
        out[i] = tile[col];
        if (++col == width) col = 0;
      }
    }
    if (keepOut) {
      const uint8_t* k = keep.data() + static_cast<size_t>(row) * width;
      col = Wrap(int64_t{x} - anchorX, width);
      for (int32_t i = 0; i < n; ++i) {
        keepOut[i] = k[col];
        if (++col == width) col = 0;
      }
    }
  }
};

Domain DomainOf(PixelFormat f) { return f == PixelFormat::Mono1 ? Domain::Mono : Domain::Colour; }

bool ResolvePattern(const DeviceContext& dc, const DrawTarget& target, const BrushObject* brush, Pattern& out) {
  if (!brush || brush->style == BS_NULL) return false;
  const Domain domain = DomainOf(target.plane.format);
  out.anchorX = int64_t{target.origin.x} + dc.state.brushOrg.x;
  out.anchorY = int64_t{target.origin.y} + dc.state.brushOrg.y;
  if (brush->style == BS_SOLID) {
    out.values.assign(1, ColourInDomain(brush->colour, domain));
    return true;
  }
  if (brush->style == BS_HATCHED) {
    out.width = out.height = 8;
    out.values.resize(64);
    const bool transparent = dc.state.bkMode == TRANSPARENT;
    if (transparent) out.keep.assign(64, 0);
    const uint32_t line = ColourInDomain(brush->colour, domain);
    const uint32_t back = ColourInDomain(dc.state.bkColour, domain);
    const auto& bits = kHatches[std::clamp(brush->hatch, 0, 5)];
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const bool on = bits[y] >> (7 - x) & 1;
        out.values[static_cast<size_t>(y * 8 + x)] = on ? line : back;
        if (transparent) out.keep[static_cast<size_t>(y * 8 + x)] = on ? 0 : 1;
      }
    return true;
  }
  if (brush->style == BS_PATTERN && brush->pattern) {
    BitmapObject& bitmap = *brush->pattern;
    const PixelPlane plane = bitmap.Plane();
    out.width = plane.width;
    out.height = plane.height;
    out.values.resize(static_cast<size_t>(plane.width) * plane.height);
    const Domain from = DomainOf(plane.format);
    const uint32_t text = ColourInDomain(dc.state.textColour, domain);
    const uint32_t back = ColourInDomain(dc.state.bkColour, domain);
    for (int32_t y = 0; y < plane.height; ++y) {
      uint32_t* row = out.values.data() + static_cast<size_t>(y) * plane.width;
      KernelsFor(plane.format).load(plane, 0, y, plane.width, row);
      for (int32_t x = 0; x < plane.width; ++x) {
        if (from == Domain::Mono && domain == Domain::Colour)
          row[x] = row[x] ? back : text;  // 0 bits take the text colour, 1 bits the background
        else if (from == Domain::Colour && domain == Domain::Mono)
          row[x] = ColourInDomain(PixelToColor(row[x]), Domain::Mono);
      }
    }
    return true;
  }
  return false;
}

// Source values of one domain turned into the target's.
void Convert(Domain from, Domain to, const DeviceContext& dc, COLORREF sourceBackground, uint32_t* v, int32_t n) {
  if (from == to) return;
  if (from == Domain::Mono) {
    const uint32_t text = ColorToPixel(dc.state.textColour);
    const uint32_t back = ColorToPixel(dc.state.bkColour);
    for (int32_t i = 0; i < n; ++i) v[i] = v[i] ? back : text;
  } else {
    const uint32_t key = ColorToPixel(sourceBackground);
    for (int32_t i = 0; i < n; ++i) v[i] = (v[i] & 0x00FFFFFFu) == key ? ~0u : 0u;
  }
}

}  // namespace

uint32_t ColourInDomain(COLORREF colour, Domain domain) {
  if (domain == Domain::Colour) return ColorToPixel(colour);
  // The nearer of black and white.
  const unsigned sum = GetRValue(colour) + GetGValue(colour) + GetBValue(colour);
  return sum >= 383 ? ~0u : 0u;
}

SourceRows PlaneSource(const PixelPlane& plane, int32_t dx, int32_t dy, COLORREF background) {
  SourceRows rows;
  rows.domain = DomainOf(plane.format);
  rows.background = background;
  rows.fetch = [plane, dx, dy](int32_t x, int32_t y, int32_t n, uint32_t* out) {
    const int64_t sy = int64_t{y} + dy;
    int64_t sx = int64_t{x} + dx;
    if (sy < 0 || sy >= plane.height) {
      std::fill_n(out, n, 0u);
      return;
    }
    // Outside columns read 0; the in-range span goes through the kernel.
    int32_t i = 0;
    for (; i < n && sx < 0; ++i, ++sx) out[i] = 0;
    const int64_t room = std::max<int64_t>(0, plane.width - sx);
    const int32_t inside = static_cast<int32_t>(std::min<int64_t>(n - i, room));
    if (inside > 0)
      KernelsFor(plane.format).load(plane, static_cast<int32_t>(sx), static_cast<int32_t>(sy), inside, out + i);
    std::fill(out + i + inside, out + n, 0u);
  };
  return rows;
}

void RunBlit(const DeviceContext& dc, const DrawTarget& target, const RECT& area, const SourceRows* source, uint8_t rop,
             const BrushObject* brush, BlitOrder order) {
  if (!target.plane.first) return;
  const RopProgram& program = RopFor(rop);
  Pattern pattern;
  if (program.usesP && !ResolvePattern(dc, target, brush, pattern)) return;
  if (program.usesS && (!source || !source->fetch)) return;

  const Region visible = Region::Combine(target.clip, Region(area), Region::Op::And);
  if (visible.Empty()) return;
  const RECT bounds = visible.Bounds();
  const int32_t span = bounds.right - bounds.left;

  const Domain domain = DomainOf(target.plane.format);
  const FormatKernels& kernels = KernelsFor(target.plane.format);
  std::vector<uint32_t> d(static_cast<size_t>(span)), s, p;
  std::vector<uint8_t> keep;
  std::vector<uint32_t> old;
  if (program.usesS) s.resize(static_cast<size_t>(span));
  if (program.usesP) p.resize(static_cast<size_t>(span));
  if (program.usesP && !pattern.keep.empty()) {
    keep.resize(static_cast<size_t>(span));
    old.resize(static_cast<size_t>(span));
  }

  const std::vector<RECT>& rects = visible.Rects();
  SurfaceWrite write(target.surface, bounds);
  auto doRow = [&](int32_t y) {
    bool fetched = false;
    for (const RECT& r : rects) {
      if (y < r.top || y >= r.bottom) continue;
      const int32_t x0 = r.left, n = r.right - r.left;
      const size_t at = static_cast<size_t>(x0 - bounds.left);
      if (program.usesS && !fetched) {
        // The whole row's source before any of it is written: overlapping
        // copies inside one bitmap read the old pixels.
        source->fetch(bounds.left, y, span, s.data());
        Convert(source->domain, domain, dc, source->background, s.data(), span);
        fetched = true;
      }
      uint32_t* dr = d.data() + at;
      if (program.usesD || !keep.empty()) kernels.load(target.plane, x0, y, n, dr);
      if (program.usesP) pattern.Fill(x0, y, n, p.data() + at, keep.empty() ? nullptr : keep.data() + at);
      if (!keep.empty()) {
        // Transparent hatch gaps keep the target as it was.
        std::copy_n(dr, n, old.data() + at);
        RunRop(program, dr, program.usesS ? s.data() + at : nullptr, p.data() + at, static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i)
          if (keep[at + static_cast<size_t>(i)]) dr[i] = old[at + static_cast<size_t>(i)];
      } else {
        RunRop(program, dr, program.usesS ? s.data() + at : nullptr, program.usesP ? p.data() + at : nullptr,
               static_cast<size_t>(n));
      }
      kernels.store(target.plane, x0, y, n, dr);
    }
  };
  if (order.bottomUp)
    for (int32_t y = bounds.bottom - 1; y >= bounds.top; --y) doRow(y);
  else
    for (int32_t y = bounds.top; y < bounds.bottom; ++y) doRow(y);
}

}  // namespace platform::gdi
