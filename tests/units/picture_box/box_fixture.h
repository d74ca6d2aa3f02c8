// A runtime with the windows-and-units layer and a library whose type 6 is
// the picture box, loading one window of boxes that the tests describe.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "../../forms/form_builder.h"
#include "runtime/core/program.h"
#include "runtime/units/picture_box/picture_box.h"

namespace units_test {

using forms_test::Bytes;

inline constexpr runtime::WindowId kWindow = 0x52010001;
inline constexpr runtime::UnitId kBox = 0x16010001;

// A stored property block: version, #8, #9, #11, #12, #10, then #13 and #14
// when the version is 2.
struct BoxBlock {
  uint32_t version = 2;
  int32_t border = 0;
  uint32_t background = 0xFF000000;
  int32_t mode = 1;
  int32_t animate = 1;
  Bytes picture{};
  std::string source{};
  std::string column{};
  Bytes Build() const;
};

// A 24-bit BMP of `width` x `height` whose pixel (x, y) has colour(x, y)
// (COLORREF).
Bytes MakeBmp(int width, int height, const std::function<uint32_t(int x, int y)>& colour);
// A solid BMP.
Bytes SolidBmp(int width, int height, uint32_t colour);

class PictureBoxTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Loads a 300 x 250 window with one 182 x 182 box at (10, 10).
  void Load(const BoxBlock& block);
  runtime::units::picture_box::PictureBox* Box() const;
  platform::HWND BoxWindow() const { return Box()->WindowHandle(); }
  uint64_t Get(int32_t property) const;
  void Set(int32_t property, uint64_t value) const;
  void SetBytes(int32_t property, const Bytes& bytes) const;
  // Repaints what waits and reads a pixel of the box's client area.
  platform::COLORREF Pixel(int x, int y) const;

  runtime::ProgramHeader header_;
  Bytes formData_;
};

}  // namespace units_test
