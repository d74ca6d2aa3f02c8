// The panel's background, its canvas and its painting.
#include <algorithm>

#include "platform/gdi/owners.h"
#include "platform/windows/window.h"
#include "platform/windows/window_dc.h"
#include "runtime/core/notify.h"
#include "runtime/core/runtime_calls.h"
#include "runtime/picture/drawing/picture_drawing.h"
#include "runtime/picture/formats/picture_decode.h"
#include "runtime/picture/table/picture_table.h"
#include "runtime/units/draw_panel/draw_panel.h"
#include "runtime/units/draw_panel/picture_fit.h"

namespace runtime::units::draw_panel {

using picture::table::DecodeOwnedPicture;

using picture::Picture;
using picture::PictureKind;

using picture::drawing::BlitPicture;
using picture::drawing::PreparedPicture;
using picture::drawing::PreparePicture;
using picture::drawing::ReleasePreparedPicture;

using namespace platform;

namespace {

void RemoveFromRegion(OwnedGdiObject& region, const RECT& rect) {
  OwnedGdiObject hole(CreateRectRgnIndirect(&rect));
  if (region && hole) CombineRgn(region.get(), region.get(), hole.get(), RGN_DIFF);
}

// Draws the picture in `layout` (0 top-left, 1 tiled, 2 fitted) inside
// `frame`, for the `update` area, and takes what it covered out of
// `remaining`, the part that still needs the background colour.
void LayOutPicture(HDC dc, const Picture& picture, int32_t layout, const RECT& frame, const RECT& update,
                   COLORREF background, OwnedGdiObject& remaining) {
  if (layout < 0 || layout > 2 || picture.width <= 0 || picture.height <= 0) return;
  PreparedPicture prepared;
  if (!PreparePicture(dc, &picture, background, &prepared)) return;
  const int64_t w = picture.width, h = picture.height;
  if (layout == 0) {
    BlitPicture(prepared, frame.left, frame.top, -1, -1, SRCCOPY);
    RemoveFromRegion(remaining,
                     RECT{frame.left, frame.top, static_cast<LONG>(frame.left + w), static_cast<LONG>(frame.top + h)});
  } else if (layout == 1) {
    for (int64_t y = frame.top; y < frame.bottom; y += h) {
      for (int64_t x = frame.left; x < frame.right; x += w) {
        const RECT copy{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + w), static_cast<LONG>(y + h)};
        if (!IntersectRects(copy, update).IsEmpty()) BlitPicture(prepared, copy.left, copy.top, -1, -1, SRCCOPY);
      }
    }
    remaining.Reset();  // the tiles cover the frame
  } else {
    const RECT fitted = FitPicture(frame, picture.width, picture.height);
    BlitPicture(prepared, fitted.left, fitted.top, fitted.Width(), fitted.Height(), SRCCOPY);
    RemoveFromRegion(remaining, fitted);
  }
  ReleasePreparedPicture(&prepared);
}

}  // namespace

const Picture* DrawPanel::BackgroundPicture() {
  if (!backgroundPicture_ && !properties_.picture.empty()) {
    backgroundPicture_ = DecodeOwnedPicture(properties_.picture);
    // Bytes that do not decode are dropped, so they are not tried again.
    if (!backgroundPicture_) properties_.picture.clear();
  }
  return backgroundPicture_.get();
}

void DrawPanel::PaintBackground(HDC dc, const RECT& frame, const RECT& update) {
  const COLORREF colour = PaintColour(properties_.background);
  OwnedGdiObject remaining(CreateRectRgnIndirect(&update));
  if (const Picture* picture = BackgroundPicture()) {
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, update.left, update.top, update.right, update.bottom);
    LayOutPicture(dc, *picture, properties_.layout, frame, update, colour, remaining);
    RestoreDC(dc, saved);
  }
  if (!remaining) return;
  const int saved = SaveDC(dc);
  SelectClipRgn(dc, remaining.get());  // within `update`, so it needs nothing more
  OwnedGdiObject brush(CreateSolidBrush(colour));
  FillRect(dc, &update, brush.get());
  RestoreDC(dc, saved);
}

void DrawPanel::BuildCanvas(bool keepDrawing) {
  if (designer_ || properties_.autoRedraw != 1) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  const int width = std::max<LONG>(client.right, 1), height = std::max<LONG>(client.bottom, 1);
  const HDC windowDc = GetDC(hwnd_);
  OwnedGdiObject fresh(CreateCompatibleBitmap(windowDc, width, height));
  if (fresh) {
    MemoryDc target(windowDc, fresh.get());
    if (target.get()) {
      const RECT whole{0, 0, width, height};
      PaintBackground(target.get(), whole, whole);
      // A fitted background moves with the size, so old drawings would no
      // longer sit on it.
      if (canvas_ && keepDrawing && (!backgroundPicture_ || properties_.layout != 2)) {
        BITMAP old{};
        GetObjectA(canvas_.get(), sizeof old, &old);
        MemoryDc from(windowDc, canvas_.get());
        if (from.get())
          BitBlt(target.get(), 0, 0, std::min(width, static_cast<int>(old.bmWidth)),
                 std::min(height, static_cast<int>(old.bmHeight)), from.get(), 0, 0, SRCCOPY);
      }
    }
  }
  if (windowDc) ReleaseDC(hwnd_, windowDc);
  // Without a new bitmap the old canvas is kept rather than lost.
  if (fresh) canvas_ = std::move(fresh);
  // The canvas holds the background now and the panel paints from it; the
  // decoded picture (14 MB for a 2160 x 2160 photograph) would only wait for
  // the next rebuild, which decodes it again.
  if (canvas_) backgroundPicture_.reset();
}

void DrawPanel::Paint() {
  PAINTSTRUCT ps;
  const HWND hwnd = hwnd_;
  const HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  const RECT area = IntersectRects(ps.rcPaint, client);
  if (area.IsEmpty()) {
    EndPaint(hwnd, &ps);
    return;
  }
  if (canvas_) {
    BITMAP canvas{};
    GetObjectA(canvas_.get(), sizeof canvas, &canvas);
    const RECT part = IntersectRects(area, RECT{0, 0, canvas.bmWidth, canvas.bmHeight});
    MemoryDc from(dc, canvas_.get());
    if (!part.IsEmpty() && from.get())
      BitBlt(dc, part.left, part.top, part.Width(), part.Height(), from.get(), part.left, part.top, SRCCOPY);
    EndPaint(hwnd, &ps);
    return;
  }
  PaintBackground(dc, client, area);
  ApplyScaleMode(dc, properties_.scaleMode);
  POINT corners[2] = {{area.left, area.top}, {area.right, area.bottom}};
  DPtoLP(dc, corners, 2);
  paintDc_ = dc;
  Runtime().RaiseEvent(window_, unit_, draw_panel_event::kPaint,
                       {corners[0].x, corners[0].y, corners[1].x, corners[1].y});
  // A handler may have destroyed the window, and this object with it.
  if (IsWindow(hwnd)) {
    paintDc_ = 0;
    SetMapMode(dc, MM_TEXT);
  }
  EndPaint(hwnd, &ps);
}

}  // namespace runtime::units::draw_panel
