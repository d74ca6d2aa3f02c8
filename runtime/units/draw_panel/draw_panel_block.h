// The draw panel's persisted properties: version, thirteen int32 fields, the
// font bytes and the background picture bytes, each counted.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "runtime/core/unit_window.h"

namespace runtime::units::draw_panel {

// The button-face colour as the block stores colours.
inline constexpr int32_t kSystemButtonFace = static_cast<int32_t>(kButtonFaceColour);

struct DrawPanelProperties {
  static constexpr uint32_t kVersion = 1;
  int32_t border = 0;                          // #8, 0 to 5
  int32_t background = kSystemButtonFace;      // #9
  int32_t layout = 1;                          // #11, 0 top-left, 1 tiled, 2 fitted
  int32_t autoRedraw = 0;                      // #12, 1 keeps a canvas
  int32_t scaleMode = 0;                       // #13, 0 to 5
  int32_t penStyle = 1;                        // #14, 0 to 6
  int32_t drawMode = 12;                       // #15, ROP2 - 1
  int32_t penWidth = 0;                        // #16
  int32_t penColour = 0;                       // #17
  int32_t brushType = 1;                       // #18, 0 to 55
  int32_t brushColour = 0xFFFFFF;              // #19
  int32_t textColour = 0;                      // #20
  int32_t textBackground = kSystemButtonFace;  // #21, the system colour means transparent
  std::vector<uint8_t> font;                   // #22, a LOGFONTA when 60 bytes
  std::vector<uint8_t> picture;                // #10, encoded
};

// Versions 0 and 1 are read; anything else, or a block that ends before its
// fields or counted bytes do, is refused. A negative count reads as empty.
std::optional<DrawPanelProperties> ReadDrawPanelBlock(std::span<const uint8_t> block);
// Always version 1.
std::vector<uint8_t> WriteDrawPanelBlock(const DrawPanelProperties& properties);

}  // namespace runtime::units::draw_panel
