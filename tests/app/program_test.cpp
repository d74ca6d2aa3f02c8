#include <gtest/gtest.h>

#include <cstring>

#include "app/program.h"
#include "platform/base/backend.h"
#include "platform/windows/window.h"
#include "runtime/core/application.h"
#include "runtime/core/memory.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/file_commands.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/services/services.h"
#include "runtime/core/shutdown.h"
#include "runtime/forms/window_table.h"
#include "runtime/imageconv/conversion/convert_image.h"
#include "runtime/picture/table/load_picture_command.h"
#include "runtime/units/draw_panel/draw_panel.h"
#include "runtime/units/draw_panel/draw_panel_commands.h"

namespace {

TEST(ToolProgram, ConstantBlockHoldsTheEmptyValuesAndThePathSuffixes) {
  const char* base = reinterpret_cast<const char*>(app::kConstantBlock);
  EXPECT_STREQ(base + app::kEmptyTextOffset, "");
  int32_t header[2];
  std::memcpy(header, base + app::kEmptyByteArrayOffset, 8);
  EXPECT_EQ(header[0], 1);
  EXPECT_EQ(header[1], 0);
  EXPECT_STREQ(base + app::kTemporaryFileSuffixOffset, "/emp.jpg");
  EXPECT_STREQ(base + app::kOutputFileSuffixOffset, "/\xCF\xB8\xBD\xDA.jpg");
  EXPECT_EQ(app::kOutputFileSuffixOffset + std::strlen(base + app::kOutputFileSuffixOffset) + 1,
            app::kConstantBlockSize);
}

TEST(ToolProgram, LibrariesKeepTheirNumbersAndAreAttachedAtStart) {
  const runtime::ProgramHeader& header = app::ProgramHeader();
  ASSERT_EQ(header.libraryCount, 3);
  EXPECT_EQ(header.libraries[0]->unitTypeCount, 51);
  EXPECT_NE(runtime::LookupUnitType(header, 0x00020001), nullptr);  // the drop object's slot
  EXPECT_EQ(runtime::LookupUnitType(header, 0x00030001), nullptr);  // conversion has no units
  EXPECT_EQ(header.libraries[2]->commands[0], &runtime::imageconv::conversion::ConvertImage);
  // The core commands in the order the logic names them.
  const runtime::CommandRoutine core[] = {
      &runtime::services::GetWindowHandle,     &runtime::services::ReadFileData,
      &runtime::picture::table::LoadPicture,   &runtime::units::draw_panel::DrawPicture,
      &runtime::services::GetProgramDirectory, &runtime::units::draw_panel::GetPicture,
      &runtime::services::WriteFileData,       &runtime::services::RemoveFile};
  ASSERT_EQ(header.libraries[0]->commandCount, 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(header.libraries[0]->commands[i], core[i]) << i;
  EXPECT_EQ(runtime::LookupUnitType(header, 0x00010008)->entry, runtime::units::draw_panel::DrawPanelType().entry);

  runtime::ResetApplication();
  runtime::forms::InstallForms();
  runtime::services::SetProgramHeader(&header);
  runtime::services::InitialiseRuntime();
  // The embedded form data read whole: the tool's window is in the table.
  EXPECT_TRUE(runtime::forms::Windows()->HasWindow(app::kWindowId));
  EXPECT_EQ(runtime::imageconv::conversion::RuntimeNotifyEntry(), &runtime::NotifyRuntime);
  // The program's constants are now recognised: freeing one is harmless.
  runtime::Free(const_cast<uint8_t*>(app::kConstantBlock + app::kTemporaryFileSuffixOffset));
  runtime::ShutdownRuntime(0);
  runtime::ResetApplication();
}

// The tool's own window from its embedded form: its place, title and client
// area, and its units made in the order and with the control ids the load
// gives them.
TEST(ToolProgram, TheToolsWindowLoadsFromItsFormData) {
  runtime::ResetApplication();
  runtime::forms::InstallForms();
  runtime::services::SetProgramHeader(&app::ProgramHeader());
  runtime::services::InitialiseRuntime();
  runtime::services::Services().LoadWindow(app::kWindowId);
  auto handleOf = [](runtime::UnitId unit) {
    auto* object = reinterpret_cast<runtime::UnitObject*>(
        runtime::NotifyRuntime(runtime::notify::kFindUnitObject, app::kWindowId, unit));
    return object ? object->WindowHandle() : platform::HWND{0};
  };
  const platform::HWND window = handleOf(0);
  ASSERT_NE(window, 0u);
  EXPECT_EQ(platform::GetWindowTextA(window), "Tessellon");
  platform::RECT outer, client;
  platform::GetWindowRect(window, &outer);
  platform::GetClientRect(window, &client);
  const platform::SIZE screen = platform::ScreenSize();
  EXPECT_EQ(outer.left, (screen.cx - 501) / 2);
  EXPECT_EQ(outer.top, (screen.cy - 501) / 2);
  EXPECT_EQ(client.right, 495);
  EXPECT_EQ(client.bottom, 472);
  EXPECT_TRUE(platform::IsWindowVisible(window));
  struct Unit {
    runtime::UnitId id;
    int32_t controlId;
    bool visible;
  };
  const Unit units[] = {{0x16010005, 100, true},  {0x16010006, 110, false}, {0x16010007, 120, false},
                        {0x16010008, 130, false}, {0x1601000D, 140, true},  {0x1601000E, 150, true},
                        {0x1601000F, 160, true}};
  for (const Unit& unit : units) {
    const platform::HWND hwnd = handleOf(unit.id);
    ASSERT_NE(hwnd, 0u) << std::hex << unit.id;
    EXPECT_EQ(platform::GetWindowLongPtrA(hwnd, platform::GWLP_ID), unit.controlId) << std::hex << unit.id;
    EXPECT_EQ(platform::IsWindowVisible(hwnd) != 0, unit.visible) << std::hex << unit.id;
  }
  runtime::ShutdownRuntime(0);
  runtime::ResetApplication();
}

}  // namespace
