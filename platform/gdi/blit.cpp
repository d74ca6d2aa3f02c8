// BitBlt, StretchBlt and PatBlt: coordinates to target-plane rectangles,
// stretching into a temporary row source, then the blit engine.
#include "platform/gdi/blit.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/gdi/blit_engine.h"
#include "platform/gdi/raster/rop_table.h"
#include "platform/gdi/raster/stretch.h"

namespace platform {

using namespace gdi;

namespace {

// A logical rectangle given by corner and signed extents, in device space.
struct DeviceSpan {
  POINT origin;  // device position of the logical corner
  LONG width;    // signed: negative mirrors
  LONG height;
};

DeviceSpan ToDeviceSpan(const DcState& s, int x, int y, int width, int height) {
  const POINT a = ToDevice(s, POINT{x, y});
  const POINT b = ToDevice(s, POINT{static_cast<LONG>(std::clamp<int64_t>(int64_t{x} + width, INT32_MIN, INT32_MAX)),
                                    static_cast<LONG>(std::clamp<int64_t>(int64_t{y} + height, INT32_MIN, INT32_MAX))});
  return DeviceSpan{a, static_cast<LONG>(std::clamp<int64_t>(int64_t{b.x} - a.x, INT32_MIN, INT32_MAX)),
                    static_cast<LONG>(std::clamp<int64_t>(int64_t{b.y} - a.y, INT32_MIN, INT32_MAX))};
}

RECT Normalised(const DeviceSpan& d, POINT shift) {
  const int64_t x0 = int64_t{d.origin.x} + shift.x, x1 = x0 + d.width;
  const int64_t y0 = int64_t{d.origin.y} + shift.y, y1 = y0 + d.height;
  auto c = [](int64_t v) { return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  return RECT{c(std::min(x0, x1)), c(std::min(y0, y1)), c(std::max(x0, x1)), c(std::max(y0, y1))};
}

// Positions and extents beyond this lie far outside any surface; refusing
// them keeps every later sum inside 32 bits.
constexpr int64_t kMaxCoordinate = int64_t{1} << 28;

bool Sane(const DeviceSpan& d, POINT shift) {
  auto ok = [](int64_t v) { return v >= -kMaxCoordinate && v <= kMaxCoordinate; };
  return ok(int64_t{d.origin.x} + shift.x) && ok(int64_t{d.origin.y} + shift.y) && ok(d.width) && ok(d.height);
}

// What a transfer reads: a plane (a DC's pixels or caller's rows), the source
// rectangle in device space, and the colour that turns into 1 on a
// monochrome target. `from` is already shifted into plane coordinates.
struct SourceView {
  PixelPlane plane;
  DeviceSpan from;
  COLORREF background = 0xFFFFFF;
};

// The rows of the source rectangle for a stretch, edge pixels repeated where
// it leaves the plane; for averaging, monochrome turns into the target's text
// and background colours first. Rows wholly inside a 32-bit plane are read
// where they lie.
class StretchSourceRows {
 public:
  StretchSourceRows(const SourceView& source, const RECT& fromRect, bool monoToColour, COLORREF text, COLORREF back)
      : plane_(source.plane),
        from_(fromRect),
        monoToColour_(monoToColour),
        text_(ColorToPixel(text)),
        back_(ColorToPixel(back)),
        buffer_(static_cast<size_t>(fromRect.Width())) {}

  const uint32_t* Row(int32_t j) {
    const int32_t row = PlaneRow(j);
    const int32_t left = from_.left, right = from_.right;
    if (plane_.format == PixelFormat::Bgrx32 && Inside())
      return reinterpret_cast<const uint32_t*>(plane_.Row(row)) + left;
    if (j == fetched_) return buffer_.data();
    fetched_ = j;
    const FormatKernels& kernels = KernelsFor(plane_.format);
    const int32_t inLeft = std::clamp(left, 0, plane_.width);
    const int32_t inRight = std::clamp(right, 0, plane_.width);
    uint32_t* out = buffer_.data();
    if (inLeft < inRight) {
      kernels.load(plane_, inLeft, row, inRight - inLeft, out + (inLeft - left));
      std::fill(out, out + (inLeft - left), out[inLeft - left]);
      std::fill(out + (inRight - left), out + (right - left), out[inRight - left - 1]);
    } else {
      uint32_t edge = 0;
      kernels.load(plane_, left >= plane_.width ? plane_.width - 1 : 0, row, 1, &edge);
      std::fill(out, out + (right - left), edge);
    }
    if (monoToColour_)
      for (uint32_t& v : buffer_) v = v ? back_ : text_;
    return out;
  }

  // Three-byte rows read where they lie, for averaging straight from them;
  // null when the rectangle leaves the plane sideways.
  const uint8_t* BgrRow(int32_t j) const { return plane_.Row(PlaneRow(j)) + static_cast<size_t>(from_.left) * 3; }
  bool BgrInPlace() const { return plane_.format == PixelFormat::Bgr24 && Inside(); }

 private:
  int32_t PlaneRow(int32_t j) const { return std::clamp<int32_t>(from_.top + j, 0, plane_.height - 1); }
  bool Inside() const { return from_.left >= 0 && from_.right <= plane_.width; }

  PixelPlane plane_;
  RECT from_;
  bool monoToColour_;
  uint32_t text_, back_;
  std::vector<uint32_t> buffer_;
  int32_t fetched_ = -1;
};

// The pixel work of every transfer with a source, once the target is known
// to show something.
BOOL TransferFrom(DeviceContext& dc, const DrawTarget& target, const DeviceSpan& dest, const SourceView& source,
                  uint8_t index, const BrushObject* brush) {
  if (dest.width == 0 || dest.height == 0) return TRUE;
  if (source.from.width == 0 || source.from.height == 0) return FALSE;

  const RECT destRect = Normalised(dest, target.origin);
  const RECT fromRect = Normalised(source.from, POINT{0, 0});
  const bool mirrorX = (dest.width < 0) != (source.from.width < 0);
  const bool mirrorY = (dest.height < 0) != (source.from.height < 0);

  if (destRect.Width() == fromRect.Width() && destRect.Height() == fromRect.Height() && !mirrorX && !mirrorY) {
    // Same size: read the source plane directly, and only where it exists.
    const int32_t dx = fromRect.left - destRect.left, dy = fromRect.top - destRect.top;
    const RECT area = IntersectRects(destRect, RECT{-dx, -dy, source.plane.width - dx, source.plane.height - dy});
    SourceRows rows = PlaneSource(source.plane, dx, dy, source.background);
    BlitOrder order;
    // Copying downwards inside one buffer: bottom rows first, so no source
    // row is overwritten before it is read.
    order.bottomUp = source.plane.first == target.plane.first && dy < 0;
    RunBlit(dc, target, area, &rows, index, brush, order);
    return TRUE;
  }

  if (destRect.Width() > kMaxStretchExtent || destRect.Height() > kMaxStretchExtent ||
      fromRect.Width() > kMaxStretchExtent || fromRect.Height() > kMaxStretchExtent)
    return FALSE;

  // Only the part of the target that can change is resampled.
  const RECT needed = IntersectRects(destRect, target.clip.Bounds());
  if (needed.IsEmpty()) return TRUE;

  const StretchAxis ax{destRect.left, destRect.Width(), fromRect.Width(), mirrorX};
  const StretchAxis ay{destRect.top, destRect.Height(), fromRect.Height(), mirrorY};
  const bool sourceMono = source.plane.format == PixelFormat::Mono1;
  const bool average = dc.state.stretchMode == HALFTONE && target.plane.format == PixelFormat::Bgrx32;
  StretchSourceRows from(source, fromRect, average && sourceMono, dc.state.textColour, dc.state.bkColour);

  StretchedPixels resampled;
  const int32_t w = needed.Width(), h = needed.Height();
  if (average && from.BgrInPlace())
    StretchAreaAverageBgr(
        ax, ay, needed.left, needed.top, w, h, [&](int32_t j) { return from.BgrRow(j); }, resampled);
  else if (average)
    StretchAreaAverage(
        ax, ay, needed.left, needed.top, w, h, [&](int32_t j) { return from.Row(j); }, resampled);
  else
    StretchNearest(
        ax, ay, needed.left, needed.top, w, h, [&](int32_t j) { return from.Row(j); }, resampled);

  SourceRows rows;
  rows.domain = (sourceMono && !average) ? Domain::Mono : Domain::Colour;
  rows.background = source.background;
  rows.fetch = [&](int32_t px, int32_t py, int32_t n, uint32_t* out) {
    const uint32_t* line = resampled.data() + static_cast<size_t>(py - needed.top) * w + (px - needed.left);
    std::copy_n(line, n, out);
  };
  RunBlit(dc, target, needed, &rows, index, brush);
  return TRUE;
}

BOOL Transfer(HDC targetHandle, int x, int y, int width, int height, HDC sourceHandle, int sx, int sy, int sw, int sh,
              DWORD rop) {
  auto dc = FindDc(targetHandle);
  if (!dc) return FALSE;
  const uint8_t index = RopIndex(rop);
  const RopProgram& program = RopFor(index);
  const DrawTarget target = TargetOf(*dc);
  const DeviceSpan dest = ToDeviceSpan(dc->state, x, y, width, height);
  const BrushObject* brush = dc->state.brushObject.get();

  if (!Sane(dest, target.origin)) return FALSE;

  if (!program.usesS) {
    if (target.plane.first) RunBlit(*dc, target, Normalised(dest, target.origin), nullptr, index, brush);
    return TRUE;
  }

  auto sdc = FindDc(sourceHandle);
  if (!sdc) return FALSE;
  const DrawTarget source = TargetOf(*sdc);
  if (!target.plane.first) return TRUE;  // nothing of the target is visible: no pixel work
  if (!source.plane.first) return FALSE;
  DeviceSpan from = ToDeviceSpan(sdc->state, sx, sy, sw, sh);
  if (!Sane(from, source.origin)) return FALSE;
  from.origin = POINT{from.origin.x + source.origin.x, from.origin.y + source.origin.y};
  return TransferFrom(*dc, target, dest, SourceView{source.plane, from, sdc->state.bkColour}, index, brush);
}

}  // namespace

BOOL BitBlt(HDC target, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
  return Transfer(target, x, y, width, height, source, sx, sy, width, height, rop);
}

BOOL StretchBlt(HDC target, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh,
                DWORD rop) {
  return Transfer(target, x, y, width, height, source, sx, sy, sw, sh, rop);
}

BOOL StretchColourRows(HDC targetHandle, int x, int y, int width, int height, const ColourRows& rows, int sx, int sy,
                       int sw, int sh, DWORD rop, COLORREF background) {
  auto dc = FindDc(targetHandle);
  if (!dc || !rows.top || rows.width <= 0 || rows.height <= 0) return FALSE;
  const uint8_t index = RopIndex(rop);
  const DrawTarget target = TargetOf(*dc);
  const DeviceSpan dest = ToDeviceSpan(dc->state, x, y, width, height);
  const DeviceSpan from{POINT{sx, sy}, sw, sh};
  if (!Sane(dest, target.origin) || !Sane(from, POINT{0, 0})) return FALSE;
  if (!RopFor(index).usesS) {
    if (target.plane.first)
      RunBlit(*dc, target, Normalised(dest, target.origin), nullptr, index, dc->state.brushObject.get());
    return TRUE;
  }
  if (!target.plane.first) return TRUE;  // nothing of the target is visible: no pixel work
  // The rows are only read: the plane's pointer is not const for the kernels' sake.
  const PixelPlane plane{PixelFormat::Bgr24, const_cast<uint8_t*>(rows.top), rows.stride, rows.width, rows.height};
  return TransferFrom(*dc, target, dest, SourceView{plane, from, background}, index, dc->state.brushObject.get());
}

BOOL PatBlt(HDC target, int x, int y, int width, int height, DWORD rop) {
  if (RopFor(RopIndex(rop)).usesS) return FALSE;
  return Transfer(target, x, y, width, height, 0, 0, 0, 0, 0, rop);
}

}  // namespace platform
