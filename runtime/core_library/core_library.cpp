#include "runtime/core_library/core_library.h"

#include <array>
#include <iterator>

#include "runtime/core/services/file_commands.h"
#include "runtime/forms/window_table.h"
#include "runtime/picture/table/load_picture_command.h"
#include "runtime/picture/table/picture_table.h"
#include "runtime/units/draw_panel/draw_panel.h"
#include "runtime/units/draw_panel/draw_panel_commands.h"
#include "runtime/units/picture_box/picture_box.h"
#include "runtime/units/window/window_unit.h"

namespace runtime::core_library {

using services::GetProgramDirectory;
using services::GetWindowHandle;
using services::ReadFileData;
using services::RemoveFile;
using services::WriteFileData;
namespace {

// 51 unit type slots, of which this program fills the window (1), the
// picture box (6) and the draw panel (8).
constexpr int32_t kCoreUnitTypeCount = 51;
const UnitTypeDescriptor* CoreUnitTypes() {
  static const auto types = [] {
    std::array<UnitTypeDescriptor, kCoreUnitTypeCount> t{};
    t[0] = units::window::WindowUnitType();
    t[5] = units::picture_box::PictureBoxType();
    t[7] = units::draw_panel::DrawPanelType();
    return t;
  }();
  return types.data();
}

// The commands this program keeps, in the order its logic names them.
const CommandRoutine kCoreCommands[] = {
    &GetWindowHandle,
    &ReadFileData,
    &picture::table::LoadPicture,
    &units::draw_panel::DrawPicture,
    &GetProgramDirectory,
    &units::draw_panel::GetPicture,
    &WriteFileData,
    &RemoveFile,
};

}  // namespace

const LibraryEntry& CoreLibrary() {
  static const LibraryEntry entry{
      .identifier = "54657373656c6c6f6e436f72654c6962",
      .version = {5, 7, 64},
      .furtherVersions = {3, 7, 3, 7},
      .displayName = "core",
      .flags = 0xC0000001,
      .unitTypeCount = kCoreUnitTypeCount,
      .unitTypes = CoreUnitTypes(),
      .commandCount = static_cast<int32_t>(std::size(kCoreCommands)),
      .commands = kCoreCommands,
  };
  return entry;
}

void InstallCoreLibrary() {
  picture::table::InstallPictureTable();
  forms::InstallForms();
}

}  // namespace runtime::core_library
