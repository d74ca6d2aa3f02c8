// Drawing a picture on the panel and taking the canvas as a BMP file.
#include <algorithm>
#include <limits>

#include "platform/gdi/owners.h"
#include "platform/windows/window.h"
#include "platform/windows/window_dc.h"
#include "runtime/core/memory.h"
#include "runtime/core/value.h"
#include "runtime/picture/drawing/picture_drawing.h"
#include "runtime/picture/little_endian.h"
#include "runtime/units/draw_panel/draw_panel.h"

namespace runtime::units::draw_panel {

using picture::PutU32;
using picture::drawing::BlitPicture;
using picture::drawing::PreparedPicture;
using picture::drawing::PreparePicture;
using picture::drawing::ReleasePreparedPicture;

using picture::Picture;
using picture::drawing::BmpPlace;

using picture::drawing::BitmapToBmpFile;
using picture::drawing::ChooseStretchMode;

using namespace platform;

void DrawPanel::PrepareDrawingDc(HDC dc) const {
  ApplyScaleMode(dc, properties_.scaleMode);
  SelectObject(dc, pen_ ? pen_.get() : GetStockObject(BLACK_PEN));
  SelectObject(dc, brush_ ? brush_.get() : GetStockObject(WHITE_BRUSH));
  SelectObject(dc, font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT));
  // The brush colour is the text colour: it gives 1-bit pictures their 0 bits.
  SetTextColor(dc, PaintColour(properties_.brushColour));
  if (properties_.textBackground == kSystemButtonFace) {
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, PaintColour(properties_.background));
  } else {
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, static_cast<COLORREF>(properties_.textBackground));
  }
  SetROP2(dc, properties_.drawMode + 1);
  SetStretchBltMode(dc, ChooseStretchMode());
  SetPolyFillMode(dc, WINDING);
}

void RestoreDrawingDc(HDC dc) {
  SetMapMode(dc, MM_TEXT);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
}

void DrawPanel::DrawPicture(const Picture& picture, int32_t x, int32_t y, std::optional<int32_t> width,
                            std::optional<int32_t> height, int64_t operation) {
  const HDC windowDc = paintDc_ ? paintDc_ : GetDC(hwnd_);
  if (!windowDc) return;
  {
    std::optional<MemoryDc> canvas;
    if (canvas_) canvas.emplace(windowDc, canvas_.get());
    // The picture becomes a bitmap once and is stretched onto each target.
    PreparedPicture prepared;
    bool preparedTried = false;
    for (const HDC target : {canvas ? canvas->get() : HDC{0}, windowDc}) {
      RECT box;
      // A target where nothing can show (a panel outside its window's client
      // area) costs no pixel work.
      if (!target || GetClipBox(target, &box) == NULLREGION) continue;
      PrepareDrawingDc(target);
      POINT at{x, y};
      LPtoDP(target, &at, 1);
      SIZE size{width.value_or(0), height.value_or(0)};
      LPtoDPSize(target, &size);
      SetMapMode(target, MM_TEXT);
      if (!preparedTried) {
        preparedTried = true;
        // Transparent PNG pixels blend over white.
        PreparePicture(target, &picture, RGB(255, 255, 255), &prepared);
      }
      if (prepared.target) {
        PreparedPicture onTarget = prepared;
        onTarget.target = target;
        BlitPicture(onTarget, at.x, at.y, width ? size.cx : -1, height ? size.cy : -1, operation);
      }
      RestoreDrawingDc(target);
    }
    ReleasePreparedPicture(&prepared);
  }
  if (!paintDc_) ReleaseDC(hwnd_, windowDc);
}

void* DrawPanel::TakePicture(int32_t widthRequest, int32_t heightRequest) {
  HeapBlock block;
  // The file goes straight into the byte array: no second copy of it.
  const BmpPlace intoByteArray = [&block](size_t fileBytes) -> uint8_t* {
    if (fileBytes > static_cast<size_t>(std::numeric_limits<int32_t>::max()) - kByteArrayHeader) return nullptr;
    block = HeapBlock(TryAllocate(kByteArrayHeader + fileBytes));
    auto* bytes = static_cast<uint8_t*>(block.Get());
    if (!bytes) return nullptr;
    PutU32(bytes, 1);
    PutU32(bytes + 4, static_cast<uint32_t>(fileBytes));
    return bytes + kByteArrayHeader;
  };
  int done = 0;
  if (canvas_) {
    done = BitmapToBmpFile(canvas_.get(), widthRequest, heightRequest, intoByteArray);
  } else {
    // What the screen shows of the panel, whatever covers it.
    RECT client;
    GetClientRect(hwnd_, &client);
    const HDC windowDc = GetDC(hwnd_);
    OwnedGdiObject shot(CreateCompatibleBitmap(windowDc, client.right, client.bottom));
    if (shot) {
      MemoryDc copy(windowDc, shot.get());
      if (copy.get()) BitBlt(copy.get(), 0, 0, client.right, client.bottom, windowDc, 0, 0, SRCCOPY);
    }
    if (windowDc) ReleaseDC(hwnd_, windowDc);
    if (shot) done = BitmapToBmpFile(shot.get(), widthRequest, heightRequest, intoByteArray);
  }
  return done ? block.Release() : nullptr;
}

}  // namespace runtime::units::draw_panel
