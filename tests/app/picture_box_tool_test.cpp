// The tool's own window with a photograph set on its first picture box as a
// drop sets it: property 10 through the SetProperty service, the box's
// 182 x 182 area of the window checked against the photograph decoded by
// libjpeg here, block by block.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "../../bench/gdi/jpeg_roundtrip.h"
#include "app/program.h"
#include "platform/gdi/gdi.h"
#include "platform/windows/window.h"
#include "platform/windows/window_dc.h"
#include "runtime/core/memory.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/services/services.h"
#include "runtime/core/shutdown.h"
#include "runtime/forms/window_table.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadSample(const char* name) {
  std::ifstream in(std::string(TESSELLON_TEST_DATA) + "/../../assets/samples/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ToolPictureBox, APhotographSetOnBoxOneShowsStretchedToItsSquare) {
  const Bytes photo = ReadSample("sample1.jpg");  // 1680 x 1050
  ASSERT_FALSE(photo.empty());
  Bytes expected;
  int width = 0, height = 0;
  ASSERT_TRUE(bench::DecodeJpeg(photo, expected, width, height));
  ASSERT_EQ(width, 1680);

  runtime::ResetApplication();
  runtime::forms::InstallForms();
  runtime::services::SetProgramHeader(&app::ProgramHeader());
  runtime::services::InitialiseRuntime();
  const runtime::services::ServiceTable& services = runtime::services::Services();
  services.LoadWindow(app::kWindowId);
  auto* window = reinterpret_cast<runtime::UnitObject*>(
      runtime::NotifyRuntime(runtime::notify::kFindUnitObject, app::kWindowId, 0));
  ASSERT_TRUE(window);
  const platform::HWND hwnd = window->WindowHandle();
  const auto dispatchWaiting = [] {
    platform::MSG msg;
    while (platform::PeekMessageA(&msg, 0, 0, 0, platform::PM_REMOVE)) platform::DispatchMessageA(&msg);
  };
  dispatchWaiting();
  const platform::HDC dc = platform::GetDC(hwnd);
  const platform::COLORREF besideBefore = platform::GetPixel(dc, 23, 163);

  {
    runtime::HeapBlock array(runtime::CopyBytes(photo.data(), photo.size()));
    services.SetProperty(app::kWindowId, app::kPictureBox1, 10, -1, reinterpret_cast<uintptr_t>(array.Get()));
  }
  // The bytes read back are the file's, as the tool passes them on.
  runtime::HeapBlock back(reinterpret_cast<void*>(services.GetProperty(app::kWindowId, app::kPictureBox1, 10, -1)));
  ASSERT_TRUE(back.Get());
  EXPECT_EQ(Bytes(static_cast<uint8_t*>(back.Get()) + 8, static_cast<uint8_t*>(back.Get()) + 8 + photo.size()), photo);

  dispatchWaiting();

  // Box 1 covers (24, 72) to (205, 253) of the client area. In 7 x 7 blocks
  // of 26 pixels each block's mean colour is the mean of its 240 x 150 part
  // of the photograph.
  constexpr int kLeft = 24, kTop = 72, kBlock = 26;
  int worst = 0;
  for (int by = 0; by < 7; ++by) {
    for (int bx = 0; bx < 7; ++bx) {
      std::array<double, 3> shown{}, source{};
      for (int y = 0; y < kBlock; ++y)
        for (int x = 0; x < kBlock; ++x) {
          const platform::COLORREF c = platform::GetPixel(dc, kLeft + bx * kBlock + x, kTop + by * kBlock + y);
          for (int k = 0; k < 3; ++k) shown[k] += (c >> (8 * k)) & 0xFF;
        }
      for (int y = by * 150; y < (by + 1) * 150; ++y)
        for (int x = bx * 240; x < (bx + 1) * 240; ++x)
          for (int k = 0; k < 3; ++k) source[k] += expected[(size_t{1680} * y + x) * 3 + k];
      for (int k = 0; k < 3; ++k)
        worst = std::max(worst, static_cast<int>(std::abs(shown[k] / (kBlock * kBlock) - source[k] / (240 * 150))));
    }
  }
  EXPECT_LE(worst, 3) << "largest difference of a block's mean channel";
  // Just outside the box the window's background photograph is untouched.
  EXPECT_EQ(platform::GetPixel(dc, 23, 163), besideBefore);
  platform::ReleaseDC(hwnd, dc);

  runtime::ShutdownRuntime(0);
  runtime::ResetApplication();
}

}  // namespace
