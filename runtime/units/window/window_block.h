// The window unit's own property block: read with defaults for what an older
// version lacks, written always as version 6 with every field.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace runtime::units::window {

struct WindowBlock {
  static constexpr uint32_t kVersion = 6;
  int32_t border = 2;  // 0 none, 1 sizeable, 2 fixed, 3/4 tool windows, 5/6 sunken edge
  int32_t pictureLayout = 1;  // 0 top-left, 1 tiled, 2 centred, 3 stretched
  uint32_t background = 0xFF000000;  // 0xFF000000: the button-face colour
  int32_t maximiseButton = 0;
  int32_t minimiseButton = 1;
  int32_t controlBox = 1;
  int32_t startPosition = 1;  // 0 as stored, 1 centred, 2 minimised, 3 maximised
  int32_t movable = 1;
  int32_t soundMode = 0;
  int32_t enterMovesFocus = 0;
  int32_t escCloses = 1;
  int32_t f1Help = 0;
  int32_t helpContext = 0;
  int32_t showInTaskbar = 1;     // version > 1
  int32_t dragByClient = 0;      // version > 2
  int32_t shape = 0;             // version > 2
  int32_t alwaysOnTop = 0;       // version > 3
  int32_t keepTitleActive = 0;   // version > 4
  std::string className;         // version 6
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
