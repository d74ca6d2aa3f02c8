#include "runtime/units/draw_panel/draw_panel_tools.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/windows/system_metrics.h"
#include "runtime/core/unit_window.h"

namespace runtime::units::draw_panel {

using namespace platform;

namespace {

struct ScaleMode {
  int mapMode;
  double fontFactor;  // logical units per inch, for font heights
};
// 0.1 mm and 0.01 mm take the inch as 1 / 0.00394 and 10 / 0.00394 of them.
constexpr ScaleMode kScaleModes[] = {
    {MM_TEXT, 0},        {MM_LOMETRIC, 1 / 0.00394}, {MM_HIMETRIC, 10 / 0.00394},
    {MM_LOENGLISH, 100}, {MM_HIENGLISH, 1000},       {MM_TWIPS, 1440},
};

const ScaleMode* ScaleModeOf(int32_t mode) {
  return mode > 0 && mode < static_cast<int32_t>(std::size(kScaleModes)) ? &kScaleModes[mode] : nullptr;
}

}  // namespace

HPEN MakePanelPen(const DrawPanelProperties& p) {
  static constexpr int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_INSIDEFRAME};
  const COLORREF colour = PaintColour(p.penColour);
  if (p.penStyle < 1 || p.penStyle > 6) return CreatePen(PS_ALTERNATE, 0, colour);
  return CreatePen(kStyles[p.penStyle - 1], p.penWidth, colour);
}

HBRUSH MakePanelBrush(const DrawPanelProperties& p) {
  static constexpr int kHatches[] = {HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS, HS_FDIAGONAL, HS_HORIZONTAL, HS_VERTICAL};
  const COLORREF colour = PaintColour(p.brushColour);
  if (p.brushType == 1) return CreateSolidBrush(colour);
  if (p.brushType >= 2 && p.brushType <= 7) return CreateHatchBrush(kHatches[p.brushType - 2], colour);
  if (p.brushType >= 8 && p.brushType < 8 + kBrushPatternCount) {
    // Monochrome bitmap rows are padded to 16 bits.
    uint8_t rows[16] = {};
    for (int y = 0; y < 8; ++y) rows[2 * y] = kBrushPatterns[p.brushType - 8][y];
    OwnedGdiObject pattern(CreateBitmap(8, 8, 1, 1, rows));
    return pattern ? CreatePatternBrush(pattern.get()) : 0;
  }
  LOGBRUSH hollow;
  hollow.lbStyle = BS_NULL;
  return CreateBrushIndirect(&hollow);
}

HFONT MakePanelFont(const DrawPanelProperties& p) {
  LOGFONTA font;
  if (p.font.size() == sizeof font)
    std::memcpy(&font, p.font.data(), sizeof font);
  else
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  if (const ScaleMode* mode = ScaleModeOf(p.scaleMode)) {
    int pixelsPerInch = 96;
    if (HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr)) {
      pixelsPerInch = GetDeviceCaps(display, LOGPIXELSY);
      DeleteDC(display);
    }
    const double height = std::abs(static_cast<double>(font.lfHeight)) / pixelsPerInch * mode->fontFactor;
    font.lfHeight = -static_cast<LONG>(std::trunc(std::min(height, 2147483647.0)));
  }
  font.lfCharSet = 1;  // DEFAULT_CHARSET
  font.lfOutPrecision = 0;
  font.lfClipPrecision = 0;
  font.lfQuality = 2;  // PROOF_QUALITY
  font.lfPitchAndFamily = 0;
  return CreateFontIndirectA(&font);
}

void ApplyScaleMode(HDC dc, int32_t scaleMode) {
  SetMapMode(dc, MM_TEXT);
  const ScaleMode* mode = ScaleModeOf(scaleMode);
  if (!mode) return;
  SetMapMode(dc, mode->mapMode);
  SIZE extent;
  GetWindowExtEx(dc, &extent);
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, extent.cx, -extent.cy, nullptr);
  POINT origin;
  GetViewportOrgEx(dc, &origin);
  if (origin.x || origin.y) SetViewportOrgEx(dc, 0, 0, nullptr);
  GetWindowOrgEx(dc, &origin);
  if (origin.x || origin.y) SetWindowOrgEx(dc, 0, 0, nullptr);
}

}  // namespace runtime::units::draw_panel
