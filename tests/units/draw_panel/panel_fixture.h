// A runtime with windows, units and the picture table, and a library whose
// slot 8 is the draw panel; tests load a window holding one panel.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../forms/form_builder.h"
#include "platform/gdi/gdi_types.h"
#include "runtime/core/program.h"
#include "runtime/units/draw_panel/draw_panel.h"

namespace panel_test {

using forms_test::Bytes;

inline constexpr runtime::WindowId kWindow = 0x52010001;
inline constexpr runtime::UnitId kWindowUnit = 0x06010000;
inline constexpr runtime::UnitId kPanel = 0x16010005;
// The panel's place in the window's client area.
inline constexpr int kPanelLeft = 10, kPanelTop = 10;

// A 24-bit BMP file of the given top-down pixels.
Bytes Bmp24(int width, int height, const std::vector<platform::COLORREF>& pixels);

// Each raised panel event, as "key a,b,c,d".
std::vector<std::string>& Events();

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Loads the window with one panel of the given size and properties.
  void Load(const runtime::units::draw_panel::DrawPanelProperties& properties, int width = 100, int height = 60,
            uint32_t flags = 1);

  runtime::units::draw_panel::DrawPanel& Panel() const;
  runtime::ArgRecord Reference() const;
  // A registered picture's handle.
  int32_t LoadPicture(const Bytes& file) const;
  // A pixel of the canvas.
  platform::COLORREF CanvasAt(int x, int y) const;
  // Lets the window's pending paints run.
  void Pump() const;

  runtime::ProgramHeader header_;
  Bytes formData_;
};

}  // namespace panel_test
