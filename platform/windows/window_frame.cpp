// Frames of bordered child windows, drawn into their top-level surface.
// Top-level frames lie outside the client surface and are not drawn.
#include <mutex>
#include <vector>

#include "platform/windows/system_metrics.h"
#include "platform/windows/window_manager.h"
#include "platform/windows/window_surface.h"

namespace platform {
namespace {

// One line around the frame: its top and left colour, its bottom and right.
struct Ring {
  COLORREF topLeft, bottomRight;
};

// From the outside in, as many rings as FrameFor counts for the styles.
std::vector<Ring> RingsFor(DWORD style, DWORD exStyle) {
  const COLORREF light = GetSysColor(COLOR_3DLIGHT), dark = GetSysColor(COLOR_3DDKSHADOW);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  std::vector<Ring> rings;
  const bool sizing = (style & WS_THICKFRAME) != 0;
  if (sizing || (style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
    // A raised edge, then face up to the frame's width.
    rings = {{light, dark}, {highlight, shadow}};
    rings.resize(static_cast<size_t>(sizing ? kSizingFrameWidth : kFixedFrameWidth), Ring{face, face});
  } else if (style & WS_BORDER) {
    const COLORREF line = GetSysColor(COLOR_WINDOWFRAME);
    rings.push_back({line, line});
  }
  // Sunken edges inside the border.
  if (exStyle & WS_EX_CLIENTEDGE) {
    rings.push_back({shadow, highlight});
    rings.push_back({dark, light});
  } else if (exStyle & WS_EX_STATICEDGE) {
    rings.push_back({shadow, highlight});
  }
  return rings;
}

void FillVisible(Surface& surface, const std::vector<RECT>& visible, const RECT& area, COLORREF colour) {
  for (const RECT& v : visible) {
    RECT part = IntersectRects(v, area);
    if (!part.IsEmpty()) surface.Fill(part, colour);
  }
}

}  // namespace

void PaintWindowFrame(HWND hwnd) {
  DWORD style, exStyle;
  {
    auto locked = LockWindow(hwnd);
    if (!locked || !locked->parent) return;
    style = locked->style;
    exStyle = locked->exStyle;
  }
  const std::vector<Ring> rings = RingsFor(style, exStyle);
  if (rings.empty()) return;
  WindowDrawTarget where;
  RECT outer{};
  if (!QueryWindowDrawTarget(hwnd, &where, true) || !where.surface || where.visible.empty() ||
      !GetWindowRect(hwnd, &outer))
    return;
  RECT r{where.origin.x, where.origin.y, where.origin.x + outer.Width(), where.origin.y + outer.Height()};
  std::lock_guard lock(where.surface->Mutex());
  for (const Ring& ring : rings) {
    if (r.IsEmpty()) break;
    FillVisible(*where.surface, where.visible, RECT{r.left, r.top, r.right, r.top + 1}, ring.topLeft);
    FillVisible(*where.surface, where.visible, RECT{r.left, r.top, r.left + 1, r.bottom}, ring.topLeft);
    FillVisible(*where.surface, where.visible, RECT{r.left, r.bottom - 1, r.right, r.bottom}, ring.bottomRight);
    FillVisible(*where.surface, where.visible, RECT{r.right - 1, r.top, r.right, r.bottom}, ring.bottomRight);
    r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  }
}

}  // namespace platform
