// The picture box's stored properties (#8 to #14) as the form data holds
// them: versions 0 to 2 are read, version 2 is written.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/base/types.h"
#include "runtime/core/memory.h"
#include "runtime/core/unit_window.h"

namespace runtime::units::picture_box {

struct PictureBoxBlock {
  int32_t border = 0;                                 // #8
  platform::COLORREF background = kButtonFaceColour;  // #9
  ByteRun picture;                                    // #10, encoded: shared with its other owners
  int32_t displayMode = 0;                            // #11
  int32_t animate = 1;                                // #12
  std::string dataSource;                             // #13
  std::string dataColumn;                             // #14
};

// Empty for an unknown version or a length that runs past the block.
std::optional<PictureBoxBlock> ReadPictureBoxBlock(std::span<const uint8_t> block);
std::vector<uint8_t> WritePictureBoxBlock(const PictureBoxBlock& block);

}  // namespace runtime::units::picture_box
