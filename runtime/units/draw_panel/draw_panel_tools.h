// The draw panel's drawing tools and scale modes: pens, brushes and fonts
// made from its properties, and the mapping each scale mode sets on a DC.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi.h"
#include "platform/gdi/owners.h"
#include "runtime/core/unit_window.h"  // PaintColour
#include "runtime/units/draw_panel/draw_panel_block.h"

namespace runtime::units::draw_panel {

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

}  // namespace runtime::units::draw_panel
