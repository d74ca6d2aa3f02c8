// Device context life cycle and the plain per-DC attributes.
#include "platform/gdi/dc.h"

#include <strings.h>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/stock_objects.h"

namespace platform {

using gdi::DeviceContext;
using gdi::FindDc;

namespace gdi {

HDC AddDc(std::shared_ptr<DeviceContext> dc) {
  dc->state = DefaultDcState();
  const HDC handle = Handles().Add(ObjectKind::DeviceContext, dc);
  dc->self = handle;
  return handle;
}

}  // namespace gdi

HDC CreateCompatibleDC(HDC like) {
  if (like != 0 && !FindDc(like)) return 0;
  auto dc = std::make_shared<DeviceContext>();
  dc->kind = DeviceContext::Kind::Memory;
  const HDC handle = gdi::AddDc(dc);
  if (!handle) return 0;
  dc->state.bitmap = gdi::DefaultBitmapHandle();
  dc->bitmap = gdi::Lookup<gdi::BitmapObject>(dc->state.bitmap, ObjectKind::Bitmap);
  return handle;
}

HDC CreateDCA(const char* driver, const char*, const char*, const void*) {
  if (!driver || strcasecmp(driver, "DISPLAY") != 0) return 0;
  // The screen: compatible with everything 32-bit, draws nowhere.
  auto dc = std::make_shared<DeviceContext>();
  dc->kind = DeviceContext::Kind::Screen;
  return gdi::AddDc(dc);
}

BOOL DeleteDC(HDC dc) { return gdi::Handles().Remove(dc, ObjectKind::DeviceContext) ? TRUE : FALSE; }

int SaveDC(HDC handle) {
  auto dc = FindDc(handle);
  if (!dc) return 0;
  dc->saved.push_back(dc->state);
  return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC handle, int which) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  const int depth = static_cast<int>(dc->saved.size());
  // Negative counts back from the latest save; positive names a save.
  const int target = which < 0 ? depth + which + 1 : which;
  if (target < 1 || target > depth) return FALSE;
  gdi::DcState restored = dc->saved[static_cast<size_t>(target - 1)];
  dc->saved.resize(static_cast<size_t>(target - 1));
  const HBITMAP bitmap = restored.bitmap;
  restored.bitmap = dc->state.bitmap;
  dc->state = std::move(restored);
  // The bitmap goes back through selection, which keeps one DC per bitmap.
  if (dc->kind == DeviceContext::Kind::Memory && bitmap != dc->state.bitmap &&
      gdi::Handles().KindOf(bitmap) == ObjectKind::Bitmap)
    SelectObject(handle, bitmap);
  return TRUE;
}

namespace {

template <class T, class Member>
T Exchange(HDC handle, Member member, T value, T failure) {
  auto dc = FindDc(handle);
  if (!dc) return failure;
  T old = dc->state.*member;
  dc->state.*member = value;
  return old;
}

template <class T, class Member>
T Read(HDC handle, Member member, T failure) {
  auto dc = FindDc(handle);
  return dc ? dc->state.*member : failure;
}

}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF c) {
  return Exchange<COLORREF>(dc, &gdi::DcState::textColour, c & 0x00FFFFFFu, CLR_INVALID);
}
COLORREF GetTextColor(HDC dc) { return Read<COLORREF>(dc, &gdi::DcState::textColour, CLR_INVALID); }
COLORREF SetBkColor(HDC dc, COLORREF c) {
  return Exchange<COLORREF>(dc, &gdi::DcState::bkColour, c & 0x00FFFFFFu, CLR_INVALID);
}

int SetBkMode(HDC dc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return Exchange<int>(dc, &gdi::DcState::bkMode, mode, 0);
}

int SetROP2(HDC dc, int rop2) {
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  return Exchange<int>(dc, &gdi::DcState::rop2, rop2, 0);
}

int SetStretchBltMode(HDC dc, int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return Exchange<int>(dc, &gdi::DcState::stretchMode, mode, 0);
}

int SetPolyFillMode(HDC dc, int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return Exchange<int>(dc, &gdi::DcState::polyFillMode, mode, 0);
}

BOOL SetBrushOrgEx(HDC handle, int x, int y, POINT* previous) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  if (previous) *previous = dc->state.brushOrg;
  dc->state.brushOrg = POINT{x, y};
  return TRUE;
}

}  // namespace platform
