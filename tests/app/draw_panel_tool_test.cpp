// The tool's own draw panel, loaded from the embedded form: its canvas starts
// as the background photograph and a drop's drawing lands in one square.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/program.h"
#include "platform/gdi/gdi_types.h"
#include "runtime/core/application.h"
#include "runtime/core/memory.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/services/services.h"
#include "runtime/core/shutdown.h"
#include "runtime/forms/window_table.h"
#include "runtime/picture/formats/picture_decode.h"
#include "runtime/picture/table/load_picture_command.h"
#include "runtime/picture/table/picture_table.h"
#include "runtime/units/draw_panel/draw_panel_commands.h"

namespace {

using runtime::ArgRecord;

constexpr runtime::UnitId kPanel = 0x16010005;
constexpr uint32_t kPanelType = 0x00010008;
constexpr int kSide = 2160;
constexpr size_t kRow = kSide * 3;  // already a multiple of 4

class ToolPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime::ResetApplication();
    runtime::picture::table::InstallPictureTable();
    runtime::forms::InstallForms();
    runtime::services::SetProgramHeader(&app::ProgramHeader());
    runtime::services::InitialiseRuntime();
    runtime::services::Services().LoadWindow(app::kWindowId);
  }
  void TearDown() override {
    runtime::ShutdownRuntime(0);
    runtime::ResetApplication();
  }
  // GetPicture as the drop handler calls it: two omitted arguments.
  static std::vector<uint8_t> CanvasFile() {
    ArgRecord args[3] = {ArgRecord::UnitRef(kPanelType, app::kWindowId, kPanel)};
    const ArgRecord result =
        runtime::services::Services().CallCoreCommand(&runtime::units::draw_panel::GetPicture, 3, args);
    runtime::HeapBlock bytes(result.AsPointer<void>());
    const uint8_t* data = runtime::ByteArrayData(bytes.Get());
    return std::vector<uint8_t>(data, data + runtime::ByteArrayLength(bytes.Get()));
  }
};

TEST_F(ToolPanel, CanvasStartsAsTheBackgroundPhotograph) {
  const std::vector<uint8_t> file = CanvasFile();
  ASSERT_EQ(file.size(), 13996854u);  // 54 + 2160 * 6480
  platform::BITMAPINFOHEADER info;
  std::memcpy(&info, file.data() + 14, 40);
  EXPECT_EQ(+info.biWidth, kSide);
  EXPECT_EQ(+info.biHeight, kSide);
  EXPECT_EQ(+info.biBitCount, 24);

  // The panel's own picture bytes, decoded: bottom-up blue, green, red rows,
  // the layout of the BMP's pixel data.
  const uint64_t payload = runtime::services::Services().GetProperty(app::kWindowId, kPanel, 10, -1);
  runtime::HeapBlock jpeg(reinterpret_cast<void*>(static_cast<uintptr_t>(payload)));
  runtime::picture::PicturePtr photograph(
      runtime::picture::table::DecodePicture(runtime::ByteArrayData(jpeg.Get()), runtime::ByteArrayLength(jpeg.Get())));
  ASSERT_TRUE(photograph);
  ASSERT_EQ(photograph->width, kSide);
  ASSERT_EQ(photograph->height, kSide);
  EXPECT_EQ(std::memcmp(file.data() + 54, photograph->pixels, kRow * kSide), 0);
}

TEST_F(ToolPanel, DrawingAtTheFirstSquareChangesExactlyThatSquare) {
  const std::vector<uint8_t> before = CanvasFile();
  // A 3 x 3 magenta BMP (rows padded to 12 bytes).
  std::vector<uint8_t> bmp(54 + 12 * 3, 0);
  const platform::BITMAPFILEHEADER fileHeader{0x4D42, static_cast<platform::DWORD>(bmp.size()), 0, 0, 54};
  platform::BITMAPINFOHEADER info;
  info.biWidth = 3;
  info.biHeight = 3;
  info.biBitCount = 24;
  std::memcpy(bmp.data(), &fileHeader, 14);
  std::memcpy(bmp.data() + 14, &info, 40);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) bmp[54 + y * 12 + x * 3] = bmp[54 + y * 12 + x * 3 + 2] = 0xFF;
  runtime::HeapBlock bytes(runtime::CopyBytes(bmp.data(), bmp.size()));
  ArgRecord load = ArgRecord::Bytes(bytes.Get());
  const ArgRecord handle =
      runtime::services::Services().CallCoreCommand(&runtime::picture::table::LoadPicture, 1, &load);
  ASSERT_NE(handle.AsInt(), 0);

  ArgRecord args[7] = {ArgRecord::UnitRef(kPanelType, app::kWindowId, kPanel),
                       handle,
                       ArgRecord::Int(150),
                       ArgRecord::Int(355),
                       ArgRecord::Int(815),
                       ArgRecord::Int(815)};
  runtime::services::Services().CallCoreCommand(&runtime::units::draw_panel::DrawPicture, 7, args);
  const std::vector<uint8_t> after = CanvasFile();
  ASSERT_EQ(after.size(), before.size());
  size_t inside = 0, changedOutside = 0;
  for (int y = 0; y < kSide; ++y) {
    const size_t row = 54 + static_cast<size_t>(kSide - 1 - y) * kRow;  // bottom-up
    for (int x = 0; x < kSide; ++x) {
      const uint8_t* a = &after[row + x * 3];
      if (x >= 150 && x < 965 && y >= 355 && y < 1170) {
        inside += a[0] == 0xFF && a[1] == 0 && a[2] == 0xFF;
      } else {
        changedOutside += std::memcmp(a, &before[row + x * 3], 3) != 0;
      }
    }
  }
  EXPECT_EQ(inside, 815u * 815u);
  EXPECT_EQ(changedOutside, 0u);
}

}  // namespace
