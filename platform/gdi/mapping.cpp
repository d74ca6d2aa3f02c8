// Mapping modes: device = (logical - window origin) * viewport extent /
// window extent + viewport origin, rounded to the nearest pixel.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"

namespace platform {

using gdi::FindDc;

namespace gdi {

namespace {

// a * b / c rounded half away from zero, saturated to 32 bits; c != 0.
// 128-bit intermediate: a spans 33 bits and b 32.
LONG MulDivRound(int64_t a, int64_t b, int64_t c) {
  const __int128 n = static_cast<__int128>(a) * b;
  const bool negative = (n < 0) != (c < 0);
  const __int128 magnitude = n < 0 ? -n : n;
  const __int128 divisor = c < 0 ? -static_cast<__int128>(c) : c;
  const __int128 q = (magnitude + divisor / 2) / divisor;
  const __int128 limit = negative ? -static_cast<__int128>(INT32_MIN) : INT32_MAX;
  const int64_t clamped = static_cast<int64_t>(q > limit ? limit : q);
  return static_cast<LONG>(negative ? -clamped : clamped);
}

// Pixels per inch of the display and the logical units per inch of each
// fixed mode; the device y axis points down, so their viewport y is negative.
constexpr LONG kPixelsPerInch = 96;

struct FixedExtents {
  SIZE window;
  SIZE viewport;
};

FixedExtents ExtentsFor(int mode) {
  LONG unitsPerInch = 0;
  switch (mode) {
    case MM_LOMETRIC: unitsPerInch = 254; break;
    case MM_HIMETRIC: unitsPerInch = 2540; break;
    case MM_LOENGLISH: unitsPerInch = 100; break;
    case MM_HIENGLISH: unitsPerInch = 1000; break;
    case MM_TWIPS: unitsPerInch = 1440; break;
    default: return FixedExtents{SIZE{1, 1}, SIZE{1, 1}};
  }
  return FixedExtents{SIZE{unitsPerInch, unitsPerInch}, SIZE{kPixelsPerInch, -kPixelsPerInch}};
}

// In MM_ISOTROPIC a logical unit has the same size on both axes: the
// viewport axis that would make units larger is shrunk to match.
void MakeIsotropic(DcState& s) {
  const int64_t wx = std::llabs(s.windowExt.cx), wy = std::llabs(s.windowExt.cy);
  const int64_t vx = std::llabs(s.viewportExt.cx), vy = std::llabs(s.viewportExt.cy);
  if (wx == 0 || wy == 0) return;
  // Compare vx / wx with vy / wy without division.
  if (vx * wy > vy * wx) {
    const LONG nx = MulDivRound(vy, wx, wy);
    s.viewportExt.cx = s.viewportExt.cx < 0 ? -nx : nx;
  } else if (vx * wy < vy * wx) {
    const LONG ny = MulDivRound(vx, wy, wx);
    s.viewportExt.cy = s.viewportExt.cy < 0 ? -ny : ny;
  }
}

}  // namespace

POINT ToDevice(const DcState& s, POINT p) {
  if (s.mapMode == MM_TEXT)
    return POINT{
        static_cast<LONG>(std::clamp<int64_t>(int64_t{p.x} - s.windowOrg.x + s.viewportOrg.x, INT32_MIN, INT32_MAX)),
        static_cast<LONG>(std::clamp<int64_t>(int64_t{p.y} - s.windowOrg.y + s.viewportOrg.y, INT32_MIN, INT32_MAX))};
  const LONG x = MulDivRound(int64_t{p.x} - s.windowOrg.x, s.viewportExt.cx, s.windowExt.cx);
  const LONG y = MulDivRound(int64_t{p.y} - s.windowOrg.y, s.viewportExt.cy, s.windowExt.cy);
  return POINT{static_cast<LONG>(std::clamp<int64_t>(int64_t{x} + s.viewportOrg.x, INT32_MIN, INT32_MAX)),
               static_cast<LONG>(std::clamp<int64_t>(int64_t{y} + s.viewportOrg.y, INT32_MIN, INT32_MAX))};
}

POINT ToLogical(const DcState& s, POINT p) {
  if (s.mapMode == MM_TEXT)
    return POINT{
        static_cast<LONG>(std::clamp<int64_t>(int64_t{p.x} - s.viewportOrg.x + s.windowOrg.x, INT32_MIN, INT32_MAX)),
        static_cast<LONG>(std::clamp<int64_t>(int64_t{p.y} - s.viewportOrg.y + s.windowOrg.y, INT32_MIN, INT32_MAX))};
  const LONG x = MulDivRound(int64_t{p.x} - s.viewportOrg.x, s.windowExt.cx, s.viewportExt.cx);
  const LONG y = MulDivRound(int64_t{p.y} - s.viewportOrg.y, s.windowExt.cy, s.viewportExt.cy);
  return POINT{static_cast<LONG>(std::clamp<int64_t>(int64_t{x} + s.windowOrg.x, INT32_MIN, INT32_MAX)),
               static_cast<LONG>(std::clamp<int64_t>(int64_t{y} + s.windowOrg.y, INT32_MIN, INT32_MAX))};
}

RECT ToDeviceRect(const DcState& s, const RECT& r) {
  const POINT a = ToDevice(s, POINT{r.left, r.top});
  const POINT b = ToDevice(s, POINT{r.right, r.bottom});
  return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

}  // namespace gdi

int SetMapMode(HDC handle, int mode) {
  auto dc = FindDc(handle);
  if (!dc || mode < MM_TEXT || mode > MM_ANISOTROPIC) return 0;
  gdi::DcState& s = dc->state;
  const int old = s.mapMode;
  s.mapMode = mode;
  if (mode == MM_ANISOTROPIC) return old;  // keeps the extents it had
  // MM_ISOTROPIC starts from the metric extents and keeps its units square.
  const auto fixed = gdi::ExtentsFor(mode == MM_ISOTROPIC ? MM_LOMETRIC : mode);
  s.windowExt = fixed.window;
  s.viewportExt = fixed.viewport;
  return old;
}

int GetMapMode(HDC handle) {
  auto dc = FindDc(handle);
  return dc ? dc->state.mapMode : 0;
}

BOOL SetWindowExtEx(HDC handle, int x, int y, SIZE* previous) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  gdi::DcState& s = dc->state;
  if (previous) *previous = s.windowExt;
  // Only the scalable modes take extents; the others keep theirs.
  if (s.mapMode != MM_ISOTROPIC && s.mapMode != MM_ANISOTROPIC) return TRUE;
  if (x == 0 || y == 0) return FALSE;
  s.windowExt = SIZE{x, y};
  if (s.mapMode == MM_ISOTROPIC) gdi::MakeIsotropic(s);
  return TRUE;
}

BOOL SetViewportExtEx(HDC handle, int x, int y, SIZE* previous) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  gdi::DcState& s = dc->state;
  if (previous) *previous = s.viewportExt;
  if (s.mapMode != MM_ISOTROPIC && s.mapMode != MM_ANISOTROPIC) return TRUE;
  if (x == 0 || y == 0) return FALSE;
  s.viewportExt = SIZE{x, y};
  if (s.mapMode == MM_ISOTROPIC) gdi::MakeIsotropic(s);
  return TRUE;
}

BOOL SetWindowOrgEx(HDC handle, int x, int y, POINT* previous) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  if (previous) *previous = dc->state.windowOrg;
  dc->state.windowOrg = POINT{x, y};
  return TRUE;
}

BOOL SetViewportOrgEx(HDC handle, int x, int y, POINT* previous) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  if (previous) *previous = dc->state.viewportOrg;
  dc->state.viewportOrg = POINT{x, y};
  return TRUE;
}

namespace {

template <class T>
BOOL ReadState(HDC handle, T gdi::DcState::*field, T* out) {
  auto dc = FindDc(handle);
  if (!dc || !out) return FALSE;
  *out = dc->state.*field;
  return TRUE;
}

}  // namespace

BOOL GetWindowExtEx(HDC dc, SIZE* out) { return ReadState(dc, &gdi::DcState::windowExt, out); }
BOOL GetViewportExtEx(HDC dc, SIZE* out) { return ReadState(dc, &gdi::DcState::viewportExt, out); }
BOOL GetWindowOrgEx(HDC dc, POINT* out) { return ReadState(dc, &gdi::DcState::windowOrg, out); }
BOOL GetViewportOrgEx(HDC dc, POINT* out) { return ReadState(dc, &gdi::DcState::viewportOrg, out); }

BOOL LPtoDP(HDC handle, POINT* points, int count) {
  auto dc = FindDc(handle);
  if (!dc || count < 0 || (count > 0 && !points)) return FALSE;
  for (int i = 0; i < count; ++i) points[i] = gdi::ToDevice(dc->state, points[i]);
  return TRUE;
}

BOOL DPtoLP(HDC handle, POINT* points, int count) {
  auto dc = FindDc(handle);
  if (!dc || count < 0 || (count > 0 && !points)) return FALSE;
  for (int i = 0; i < count; ++i) points[i] = gdi::ToLogical(dc->state, points[i]);
  return TRUE;
}

BOOL LPtoDPSize(HDC handle, SIZE* size) {
  auto dc = FindDc(handle);
  if (!dc || !size) return FALSE;
  const gdi::DcState& s = dc->state;
  size->cx = gdi::MulDivRound(std::llabs(size->cx), std::llabs(s.viewportExt.cx), std::llabs(s.windowExt.cx));
  size->cy = gdi::MulDivRound(std::llabs(size->cy), std::llabs(s.viewportExt.cy), std::llabs(s.windowExt.cy));
  return TRUE;
}

BOOL DPtoLPSize(HDC handle, SIZE* size) {
  auto dc = FindDc(handle);
  if (!dc || !size) return FALSE;
  const gdi::DcState& s = dc->state;
  size->cx = gdi::MulDivRound(std::llabs(size->cx), std::llabs(s.windowExt.cx), std::llabs(s.viewportExt.cx));
  size->cy = gdi::MulDivRound(std::llabs(size->cy), std::llabs(s.windowExt.cy), std::llabs(s.viewportExt.cy));
  return TRUE;
}

}  // namespace platform
