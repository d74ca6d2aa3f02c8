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

BOOL Transfer(HDC targetHandle, int x, int y, int width, int height, HDC sourceHandle, int sx, int sy,
              int sw, int sh, DWORD rop) {
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
  const DeviceSpan from = ToDeviceSpan(sdc->state, sx, sy, sw, sh);
  if (!Sane(from, source.origin)) return FALSE;
  if (dest.width == 0 || dest.height == 0) return TRUE;
  if (from.width == 0 || from.height == 0) return FALSE;

  const RECT destRect = Normalised(dest, target.origin);
  const RECT fromRect = Normalised(from, source.origin);
  const bool mirrorX = (dest.width < 0) != (from.width < 0);
  const bool mirrorY = (dest.height < 0) != (from.height < 0);

  if (destRect.Width() == fromRect.Width() && destRect.Height() == fromRect.Height() && !mirrorX && !mirrorY) {
    // Same size: read the source plane directly, and only where it exists.
    const int32_t dx = fromRect.left - destRect.left, dy = fromRect.top - destRect.top;
    const RECT area = IntersectRects(destRect, RECT{-dx, -dy, source.plane.width - dx, source.plane.height - dy});
    SourceRows rows = PlaneSource(source.plane, dx, dy, sdc->state.bkColour);
    BlitOrder order;
    // Copying downwards inside one buffer: bottom rows first, so no source
    // row is overwritten before it is read.
    order.bottomUp = source.plane.first == target.plane.first && dy < 0;
    RunBlit(*dc, target, area, &rows, index, brush, order);
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
  const bool average = dc->state.stretchMode == HALFTONE && target.plane.format == PixelFormat::Bgrx32;

  // Source rows of the source rectangle, edge pixels repeated where the
  // rectangle leaves the plane; for averaging, monochrome turns into the
  // target's text and background colours first.
  std::vector<uint32_t> rowBuffer(static_cast<size_t>(fromRect.Width()));
  const FormatKernels& kernels = KernelsFor(source.plane.format);
  const uint32_t text = ColorToPixel(dc->state.textColour), back = ColorToPixel(dc->state.bkColour);
  int32_t fetchedRow = -1;
  SourceRowFn sourceRow = [&](int32_t j) -> const uint32_t* {
    const int32_t row = std::clamp<int32_t>(fromRect.top + j, 0, source.plane.height - 1);
    const int32_t left = fromRect.left, right = fromRect.right;
    // Rows wholly inside a 32-bit plane are read where they lie.
    if (source.plane.format == PixelFormat::Bgrx32 && left >= 0 && right <= source.plane.width)
      return reinterpret_cast<const uint32_t*>(source.plane.Row(row)) + left;
    if (j == fetchedRow) return rowBuffer.data();
    fetchedRow = j;
    const int32_t inLeft = std::clamp(left, 0, source.plane.width);
    const int32_t inRight = std::clamp(right, 0, source.plane.width);
    uint32_t* out = rowBuffer.data();
    if (inLeft < inRight) {
      kernels.load(source.plane, inLeft, row, inRight - inLeft, out + (inLeft - left));
      std::fill(out, out + (inLeft - left), out[inLeft - left]);
      std::fill(out + (inRight - left), out + (right - left), out[inRight - left - 1]);
    } else {
      uint32_t edge = 0;
      kernels.load(source.plane, left >= source.plane.width ? source.plane.width - 1 : 0, row, 1, &edge);
      std::fill(out, out + (right - left), edge);
    }
    if (average && sourceMono)
      for (uint32_t& v : rowBuffer) v = v ? back : text;
    return out;
  };

  std::vector<uint32_t> resampled;
  const int32_t w = needed.Width(), h = needed.Height();
  if (average)
    StretchAreaAverage(ax, ay, needed.left, needed.top, w, h, sourceRow, resampled);
  else
    StretchNearest(ax, ay, needed.left, needed.top, w, h, sourceRow, resampled);

  SourceRows rows;
  rows.domain = (sourceMono && !average) ? Domain::Mono : Domain::Colour;
  rows.background = sdc->state.bkColour;
  rows.fetch = [&](int32_t px, int32_t py, int32_t n, uint32_t* out) {
    const uint32_t* line = resampled.data() + static_cast<size_t>(py - needed.top) * w + (px - needed.left);
    std::copy_n(line, n, out);
  };
  RunBlit(*dc, target, needed, &rows, index, brush);
  return TRUE;
}

}  // namespace

BOOL BitBlt(HDC target, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
  return Transfer(target, x, y, width, height, source, sx, sy, width, height, rop);
}

BOOL StretchBlt(HDC target, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh,
                DWORD rop) {
  return Transfer(target, x, y, width, height, source, sx, sy, sw, sh, rop);
}

BOOL PatBlt(HDC target, int x, int y, int width, int height, DWORD rop) {
  if (RopFor(RopIndex(rop)).usesS) return FALSE;
  return Transfer(target, x, y, width, height, 0, 0, 0, 0, 0, rop);
}

}  // namespace platform
