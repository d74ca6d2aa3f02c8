// The tool's constants: its constant block and the ids of its form data.
#pragma once

#include <cstdint>

#include "runtime/core/value.h"

namespace app {

// The 28-byte constant block: the empty text, the empty byte array and the
// two path suffixes.
inline constexpr uint32_t kConstantBlockSize = 28;
extern const uint8_t kConstantBlock[kConstantBlockSize];
inline constexpr uint32_t kEmptyTextOffset = 0;
inline constexpr uint32_t kEmptyByteArrayOffset = 1;
inline constexpr uint32_t kTemporaryFileSuffixOffset = 9;
inline constexpr uint32_t kOutputFileSuffixOffset = 18;

// Ids of the form data.
inline constexpr runtime::WindowId kWindowId = 0x52010001;
inline constexpr runtime::UnitId kPictureBox1 = 0x1601000D;
inline constexpr runtime::UnitId kPictureBox2 = 0x1601000E;
inline constexpr runtime::UnitId kPictureBox3 = 0x1601000F;
inline constexpr runtime::TypeTag kPictureBoxType = 0x00010006;
inline constexpr runtime::UnitId kDropObject1 = 0x16010006;
inline constexpr runtime::UnitId kDropObject2 = 0x16010007;
inline constexpr runtime::UnitId kDropObject3 = 0x16010008;
inline constexpr runtime::TypeTag kDropObjectType = 0x00020001;

}  // namespace app
