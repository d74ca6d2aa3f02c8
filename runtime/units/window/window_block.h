// The window unit's own property block: read with defaults for what an older
// version lacks, written always as version 6 with every field.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace runtime::units::window {

// Border styles (field 2).
namespace window_border {
inline constexpr int32_t kNone = 0;
inline constexpr int32_t kSizeable = 1;
inline constexpr int32_t kFixed = 2;
inline constexpr int32_t kSizeableTool = 3;
inline constexpr int32_t kFixedTool = 4;
inline constexpr int32_t kSizeableSunken = 5;
inline constexpr int32_t kFixedSunken = 6;
}  // namespace window_border

// Start positions (field 8); the loader's view of them is forms::StartPosition.
namespace start_position {
inline constexpr int32_t kAsStored = 0;
inline constexpr int32_t kCentred = 1;
inline constexpr int32_t kMinimised = 2;
inline constexpr int32_t kMaximised = 3;
}  // namespace start_position

// Background picture layouts (field 3).
namespace picture_layout {
inline constexpr int32_t kTopLeft = 0;
inline constexpr int32_t kTiled = 1;
inline constexpr int32_t kCentred = 2;
inline constexpr int32_t kStretched = 3;
}  // namespace picture_layout

struct WindowBlock {
  static constexpr uint32_t kVersion = 6;
  int32_t border = window_border::kFixed;
  int32_t pictureLayout = picture_layout::kTiled;
  uint32_t background = 0xFF000000;  // 0xFF000000: the button-face colour
  int32_t maximiseButton = 0;
  int32_t minimiseButton = 1;
  int32_t controlBox = 1;
  int32_t startPosition = start_position::kCentred;
  int32_t movable = 1;
  int32_t soundMode = 0;
  int32_t enterMovesFocus = 0;
  int32_t escCloses = 1;
  int32_t f1Help = 0;
  int32_t helpContext = 0;
  int32_t showInTaskbar = 1;    // version > 1
  int32_t dragByClient = 0;     // version > 2
  int32_t shape = 0;            // version > 2
  int32_t alwaysOnTop = 0;      // version > 3
  int32_t keepTitleActive = 0;  // version > 4
  std::string className;        // version 6
  std::vector<uint8_t> picture;
  std::vector<uint8_t> icon;
  std::vector<uint8_t> sound;
  std::string title;
  std::string helpFile;
};

// An empty block gives the defaults. None when the version is above 6 or the
// block ends inside a field.
std::optional<WindowBlock> ReadWindowBlock(std::span<const uint8_t> block);
std::vector<uint8_t> WriteWindowBlock(const WindowBlock& block);

}  // namespace runtime::units::window
