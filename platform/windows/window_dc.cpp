#include "platform/windows/window_dc.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/windows/window.h"
#include "platform/windows/window_surface.h"

namespace platform {

using gdi::DeviceContext;

namespace {

HDC MakeWindowDc(HWND window) {
  if (window == 0) return CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  auto dc = std::make_shared<DeviceContext>();
  WindowDrawTarget where;
  if (!QueryWindowDrawTarget(window, &where)) return 0;
  dc->kind = DeviceContext::Kind::Window;
  dc->locate = [window](WindowDrawTarget* out) { return QueryWindowDrawTarget(window, out); };
  dc->surface = std::move(where.surface);
  dc->origin = where.origin;
  if (dc->surface) dc->visible = gdi::Region::FromRects(where.visible);
  return gdi::AddDc(dc);
}

}  // namespace

HDC GetDC(HWND window) { return MakeWindowDc(window); }

int ReleaseDC(HWND, HDC handle) {
  auto dc = gdi::FindDc(handle);
  if (!dc || dc->kind == DeviceContext::Kind::Memory) return 0;
  return DeleteDC(handle) ? 1 : 0;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  if (!paint || window == 0) return 0;
  // Painting takes the update area and validates the window, so the
  // WM_PAINT that led here is not posted again.
  RECT update{};
  const bool invalid = GetUpdateRect(window, &update, FALSE) != FALSE;
  ValidateRect(window, nullptr);
  const HDC handle = MakeWindowDc(window);
  *paint = PAINTSTRUCT{};
  paint->hdc = handle;
  if (!handle) return 0;
  auto dc = gdi::FindDc(handle);
  // The DC draws only inside the update area, as paint DCs do, whatever
  // clip the painter selects.
  dc->paintArea = gdi::Region(invalid ? update : RECT{});
  RECT visible = dc->visible.Bounds();
  if (!visible.IsEmpty()) visible = gdi::Shifted(visible, POINT{-dc->origin.x, -dc->origin.y});
  paint->rcPaint = invalid ? IntersectRects(update, visible) : RECT{};
  return handle;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
  if (!paint) return FALSE;
  return ReleaseDC(window, paint->hdc) ? TRUE : FALSE;
}

}  // namespace platform
