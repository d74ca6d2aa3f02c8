// Region handles and the DC clip built from them.
#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/rgn.h"

namespace platform {

using gdi::Region;
using gdi::RegionObject;

namespace {

std::shared_ptr<RegionObject> FindRegion(HRGN handle) { return gdi::Lookup<RegionObject>(handle, ObjectKind::Region); }

RECT Ordered(int left, int top, int right, int bottom) {
  return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  auto region = std::make_shared<RegionObject>();
  region->region = Region(Ordered(left, top, right, bottom));
  return gdi::Handles().Add(ObjectKind::Region, region);
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (!rect) return 0;
  return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

BOOL SetRectRgn(HRGN handle, int left, int top, int right, int bottom) {
  auto region = FindRegion(handle);
  if (!region) return FALSE;
  region->region = Region(Ordered(left, top, right, bottom));
  return TRUE;
}

int CombineRgn(HRGN target, HRGN a, HRGN b, int op) {
  auto out = FindRegion(target);
  auto first = FindRegion(a);
  if (!out || !first) return ERROR;
  if (op == RGN_COPY) {
    out->region = first->region;
    return out->region.Complexity();
  }
  auto second = FindRegion(b);
  if (!second) return ERROR;
  Region::Op how;
  switch (op) {
    case RGN_AND: how = Region::Op::And; break;
    case RGN_OR: how = Region::Op::Or; break;
    case RGN_XOR: how = Region::Op::Xor; break;
    case RGN_DIFF: how = Region::Op::Diff; break;
    default: return ERROR;
  }
  // Computed into a temporary: target may be a or b.
  Region result = Region::Combine(first->region, second->region, how);
  out->region = std::move(result);
  return out->region.Complexity();
}

int OffsetRgn(HRGN handle, int dx, int dy) {
  auto region = FindRegion(handle);
  if (!region) return ERROR;
  region->region.Offset(dx, dy);
  return region->region.Complexity();
}

BOOL PtInRegion(HRGN handle, int x, int y) {
  auto region = FindRegion(handle);
  return region && region->region.Contains(x, y) ? TRUE : FALSE;
}

int GetRgnBox(HRGN handle, RECT* box) {
  auto region = FindRegion(handle);
  if (!region || !box) return ERROR;
  *box = region->region.Bounds();
  return region->region.Complexity();
}

BOOL EqualRgn(HRGN a, HRGN b) {
  auto first = FindRegion(a);
  auto second = FindRegion(b);
  if (!first || !second) return ERROR;
  return first->region == second->region ? TRUE : FALSE;
}

int SelectClipRgn(HDC handle, HRGN region) {
  auto dc = gdi::FindDc(handle);
  if (!dc) return ERROR;
  if (region == 0) {
    dc->state.clip.reset();
    return SIMPLEREGION;
  }
  auto object = FindRegion(region);
  if (!object) return ERROR;
  dc->state.clip = object->region;  // a copy: later changes to the region do not reach the DC
  return object->region.Complexity();
}

namespace {

// Device-space area the DC can draw on: its surface (or bitmap) bounds
// under the clip.
Region DrawableArea(gdi::DeviceContext& dc) {
  gdi::DrawTarget target = gdi::TargetOf(dc);
  if (!target.plane.first) return Region();
  Region area = target.clip;
  area.Offset(-target.origin.x, -target.origin.y);
  return area;
}

int ChangeClip(HDC handle, const RECT& logical, Region::Op op) {
  auto dc = gdi::FindDc(handle);
  if (!dc) return ERROR;
  const Region rect(gdi::ToDeviceRect(dc->state, logical));
  Region base = dc->state.clip ? *dc->state.clip : DrawableArea(*dc);
  dc->state.clip = Region::Combine(base, rect, op);
  return dc->state.clip->Complexity();
}

}  // namespace

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  return ChangeClip(dc, Ordered(left, top, right, bottom), Region::Op::And);
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
  return ChangeClip(dc, Ordered(left, top, right, bottom), Region::Op::Diff);
}

int GetClipBox(HDC handle, RECT* box) {
  auto dc = gdi::FindDc(handle);
  if (!dc || !box) return ERROR;
  const Region area = DrawableArea(*dc);
  const RECT device = area.Bounds();
  const POINT a = gdi::ToLogical(dc->state, POINT{device.left, device.top});
  const POINT b = gdi::ToLogical(dc->state, POINT{device.right, device.bottom});
  *box = Ordered(a.x, a.y, b.x, b.y);
  return area.Complexity();
}

}  // namespace platform
