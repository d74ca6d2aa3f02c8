// The draw panel unit (type 0x00010008): a child window with a background
// colour and picture, drawing tools, and while auto-redraw is on a canvas
// that receives every drawing and from which the panel repaints itself.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/base/types.h"
#include "runtime/core/program.h"
#include "runtime/picture/picture.h"
#include "runtime/units/draw_panel/draw_panel_block.h"
#include "runtime/units/draw_panel/draw_panel_tools.h"

namespace runtime::units::draw_panel {

inline constexpr uint32_t kDrawPanelTypeCode = 0x00010008;
inline constexpr char kDrawPanelClass[] = "_VU_DrawPanel";

// Events of the draw panel.
namespace draw_panel_event {
// Raised while the panel has no canvas: left, top, right, bottom of the area
// to repaint, in scale units.
inline constexpr int32_t kPaint = 0;
inline constexpr int32_t kFocusGained = -7;
inline constexpr int32_t kFocusLost = -8;
}  // namespace draw_panel_event

class DrawPanel final : public UnitObject {
 public:
  static UnitObject* Create(const CreateParams& params);
  ~DrawPanel() override;
  platform::HWND WindowHandle() const override { return hwnd_; }

  const DrawPanelProperties& Properties() const { return properties_; }
  DrawPanelProperties& MutableProperties() { return properties_; }

  // What the properties' effects call for.
  void BackgroundChanged();         // rebuild the canvas from the background, repaint
  void BackgroundPictureChanged();  // forget the decoded picture, then as above
  void AutoRedrawChanged();         // a fresh canvas for 1, none otherwise, repaint
  void Repaint();
  void RemakePen();
  void RemakeBrush();
  void RemakeFont();
  void ApplyBorder();
  // The client size in the current scale mode's units (the designed size in
  // a designer).
  platform::SIZE DrawingSize() const;

  // Draws on the canvas and on the window. (x, y) and the size are in scale
  // units; a missing side is the picture's own. `operation` is a raster
  // operation, or the negated colour to leave transparent.
  void DrawPicture(const picture::Picture& picture, int32_t x, int32_t y, std::optional<int32_t> width,
                   std::optional<int32_t> height, int64_t operation);
  // The canvas (or what the screen shows of the panel) as BMP file bytes in
  // a new byte array; null on failure.
  void* TakePicture(int32_t widthRequest, int32_t heightRequest);

  platform::HBITMAP Canvas() const { return canvas_.get(); }

 private:
  DrawPanel(const CreateParams& params, DrawPanelProperties properties);
  static platform::LRESULT Proc(platform::HWND hwnd, platform::UINT message, platform::WPARAM wParam,
                                platform::LPARAM lParam);
  platform::LRESULT Handle(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam);
  void Paint();
  platform::LRESULT MouseActivate(platform::WPARAM wParam, platform::LPARAM lParam);
  void RaiseSimple(int32_t key);
  void FinalDestroy();

  // draw_panel_canvas.cpp
  void BuildCanvas(bool keepDrawing);
  const picture::Picture* BackgroundPicture();
  // Lays the background out in `frame` for `update` and fills the rest of
  // `update` with the background colour.
  void PaintBackground(platform::HDC dc, const platform::RECT& frame, const platform::RECT& update);
  // Selects the tools and colours a drawing uses into `dc`; RestoreDrawingDc
  // puts the stock ones back.
  void PrepareDrawingDc(platform::HDC dc) const;

  platform::HWND hwnd_ = 0;
  DrawPanelProperties properties_;
  WindowId window_ = 0;
  UnitId unit_ = 0;
  int32_t designer_ = 0;
  int32_t designedWidth_ = 0, designedHeight_ = 0;
  bool activateOnClick_ = false;  // the unit's form flags ask for focus on a click
  bool created_ = false;          // set once Create has the window
  picture::PicturePtr backgroundPicture_;
  platform::HDC paintDc_ = 0;  // only while the paint event runs
  platform::OwnedGdiObject pen_;
  platform::OwnedGdiObject brush_;
  platform::OwnedGdiObject font_;
  platform::OwnedGdiObject canvas_;
};

// The draw panel's descriptor: "画板", DrawPanel, 25 properties, its entry.
const UnitTypeDescriptor& DrawPanelType();

// Restores what PrepareDrawingDc changed: MM_TEXT and the stock pen, brush
// and font.
void RestoreDrawingDc(platform::HDC dc);

}  // namespace runtime::units::draw_panel
