// DCs over windows: they draw into the top-level window's surface, clipped
// to the part of the window the window side reports visible at the time of
// each drawing call.
#include <strings.h>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/window.h"
#include "platform/window_surface.h"

namespace platform {

using gdi::DeviceContext;

namespace {

HDC MakeWindowDc(HWND window) {
  auto dc = std::make_shared<DeviceContext>();
  if (window == 0) {
    // The screen: compatible with everything 32-bit, draws nowhere.
    dc->kind = DeviceContext::Kind::Screen;
    return gdi::AddDc(dc);
  }
  WindowDrawTarget where;
  if (!QueryWindowDrawTarget(window, &where)) return 0;
  dc->kind = DeviceContext::Kind::Window;
  dc->window = window;
  dc->surface = std::move(where.surface);
  dc->origin = where.origin;
  if (dc->surface) dc->visible = gdi::Region::FromRects(where.visible);
  return gdi::AddDc(dc);
}

}  // namespace

HDC CreateDCA(const char* driver, const char*, const char*, const void*) {
  if (!driver || strcasecmp(driver, "DISPLAY") != 0) return 0;
  return MakeWindowDc(0);
}

HDC GetDC(HWND window) { return MakeWindowDc(window); }

HDC GetWindowDC(HWND window) { return MakeWindowDc(window); }

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
