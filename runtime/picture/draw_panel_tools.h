// The draw panel's drawing tools and scale modes: pens, brushes and fonts
// made from its properties, and the mapping each scale mode sets on a DC.
#pragma once

#include <cstdint>
#include <utility>

#include "platform/gdi/gdi.h"
#include "runtime/picture/draw_panel_block.h"
#include "runtime/core/unit_window.h"  // PaintColour

namespace runtime::picture {

// One GDI object (pen, brush, font, bitmap, region), deleted with its owner.
template <class Handle>
class OwnedGdi {
 public:
  OwnedGdi() = default;
  explicit OwnedGdi(Handle handle) : handle_(handle) {}
  OwnedGdi(OwnedGdi&& other) noexcept : handle_(std::exchange(other.handle_, Handle{0})) {}
  OwnedGdi& operator=(OwnedGdi&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, Handle{0}));
    return *this;
  }
  OwnedGdi(const OwnedGdi&) = delete;
  OwnedGdi& operator=(const OwnedGdi&) = delete;
  ~OwnedGdi() { Reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != 0; }
  void Reset(Handle handle = Handle{0}) {
    if (handle_) platform::DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = 0;
};

inline constexpr int32_t kBrushPatternCount = 48;
// The 8 x 8 monochrome patterns of brush types 8 to 55.
extern const uint8_t kBrushPatterns[kBrushPatternCount][8];


// 0 when GDI cannot make it; the caller then uses the stock object.
platform::HPEN MakePanelPen(const DrawPanelProperties& properties);
platform::HBRUSH MakePanelBrush(const DrawPanelProperties& properties);
platform::HFONT MakePanelFont(const DrawPanelProperties& properties);

// MM_TEXT, then for scale modes 1 to 5 the metric mode's units with y growing
// downwards from the top-left corner.
void ApplyScaleMode(platform::HDC dc, int32_t scaleMode);

}  // namespace runtime::picture
