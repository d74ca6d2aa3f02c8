// The form data the program embeds, read back by the runtime's own reader:
// every record as the description says, and the data consumed exactly.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/forms/window_definition.h"
#include "runtime/units/window/window_block.h"
#include "tools/form_data.h"
#include "tools/form_description.h"

namespace {

void Handler(runtime::HandlerCall&) {}
const runtime::LogicRoutine kRoutines[] = {{0, &Handler}, {0x1C9, &Handler}, {0x52F, &Handler}, {0x895, &Handler}};

// The routine index + 1 that a relocated binding to `offset` holds.
int32_t Relocated(int32_t offset) {
  for (size_t i = 0; i < std::size(kRoutines); ++i)
    if (kRoutines[i].offset == offset) return static_cast<int32_t>(i + 1);
  return -1;
}

TEST(EmbeddedForm, ReadsBackAsDescribed) {
  auto read = runtime::forms::ReadFormData(formdata::Bytes(), kRoutines);
  ASSERT_TRUE(read) << "the embedded form data did not read whole";
  ASSERT_EQ(read->size(), std::size(formgen::kWindows));
  const auto& definition = (*read)[0];
  const formgen::Window& window = formgen::kWindows[0];
  EXPECT_EQ(static_cast<uint32_t>(definition.id), window.id);
  EXPECT_EQ(definition.secondValue, window.second_value);
  const auto& units = definition.units;
  ASSERT_EQ(static_cast<size_t>(units.Count()), window.units.size());
  for (int32_t i = 0; i < units.Count(); ++i) {
    const formgen::Unit& unit = window.units[static_cast<size_t>(i)];
    SCOPED_TRACE(i);
    EXPECT_EQ(static_cast<uint32_t>(units.IdAt(i)), unit.id);
    EXPECT_EQ(units.IndexOf(static_cast<runtime::UnitId>(unit.id)), i);
    EXPECT_EQ(units.UnitType(i), unit.type);
    EXPECT_EQ(units.Name(i), unit.name);
    for (int field = 0; field < 4; ++field)
      EXPECT_EQ(units.RectField(i, field),
                (std::array{unit.left, unit.top, unit.width, unit.height})[static_cast<size_t>(field)]);
    EXPECT_EQ(units.Flags(i), unit.flags);
    EXPECT_EQ(units.ObjectSlot(i), 0u);
    EXPECT_EQ(units.Pointer(i).size(), 4u);
    EXPECT_EQ(units.Tag(i), "");
    const auto bindings = units.Bindings(i);
    ASSERT_EQ(bindings.size(), unit.bindings.size());
    for (size_t b = 0; b < bindings.size(); ++b) {
      EXPECT_EQ(bindings[b].key, unit.bindings[b].event);
      EXPECT_EQ(bindings[b].handler, Relocated(unit.bindings[b].handler_offset));
    }
  }
  // The window's block reads with the description's title and a JPEG.
  auto block = runtime::units::window::ReadWindowBlock(units.TypeBlock(0));
  ASSERT_TRUE(block);
  EXPECT_EQ(block->title, formgen::kTitle);
  EXPECT_EQ(block->pictureLayout, 3);
  EXPECT_EQ(block->minimiseButton, 0);
  ASSERT_GT(block->picture.size(), 2u);
  EXPECT_EQ(block->picture[0], 0xFF);
  EXPECT_EQ(block->picture[1], 0xD8);
  // The draw panel carries the same photograph at the end of its block.
  const auto panel = units.TypeBlock(7);
  ASSERT_EQ(panel.size(), 64u + block->picture.size());
  EXPECT_EQ(std::memcmp(panel.data() + 64, block->picture.data(), block->picture.size()), 0);
}

}  // namespace
