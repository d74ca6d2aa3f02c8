// The offscreen shell on a real message loop: it waits for the first shown
// window to be idle, writes what that window shows as PNG and closes it.
#include <png.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "platform/backends/offscreen/offscreen_backend.h"
#include "platform/base/system.h"
#include "platform/gdi/gdi.h"
#include "platform/windows/messages.h"
#include "platform/windows/system_metrics.h"
#include "platform/windows/window.h"
#include "platform/windows/window_dc.h"

namespace {

using namespace platform;
namespace fs = std::filesystem;

// Each window paints its client area in the colour kept in its user data.
LRESULT SolidProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)));
      RECT client;
      GetClientRect(hwnd, &client);
      FillRect(dc, &client, brush);
      DeleteObject(brush);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      if (!(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) PostQuitMessage(0);
      return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

struct Image {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  COLORREF At(int x, int y) const {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return RGB(p[0], p[1], p[2]);
  }
};

std::optional<Image> ReadPng(const fs::path& path) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
  image.format = PNG_FORMAT_RGB;
  Image out;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) return std::nullopt;
  return out;
}

class OffscreenShellRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc;
    wc.lpfnWndProc = SolidProc;
    wc.lpszClassName = "ShellSolid";
    RegisterClassA(&wc);
  }
  void SetUp() override {
    backend_ = dynamic_cast<OffscreenBackend*>(&System::Get().GetBackend());
    if (!backend_) GTEST_SKIP() << "the tests run on the offscreen backend";
    std::string pattern = fs::temp_directory_path().string() + "/tessellon-shell-XXXXXX";
    dir_ = mkdtemp(pattern.data());
  }
  void TearDown() override {
    // Later tests' windows are no business of the shell.
    if (backend_) backend_->StopShell();
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  HWND Window(DWORD style, HWND parent, RECT r, COLORREF colour) {
    HWND h = CreateWindowExA(0, "ShellSolid", "", style, r.left, r.top, r.Width(), r.Height(), parent, 0, nullptr);
    SetWindowLongPtrA(h, GWLP_USERDATA, static_cast<intptr_t>(colour));
    return h;
  }

  // The program's loop: until WM_QUIT. A watchdog closes the window if the
  // shell never does, so a fault fails the test instead of hanging it.
  bool RunLoop(HWND window) {
    std::atomic<bool> done{false}, rescued{false};
    std::thread watchdog([&] {
      for (int i = 0; i < 1000 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (!done) {
        rescued = true;
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
    });
    MSG msg;
    while (GetMessageA(&msg, 0, 0, 0)) DispatchMessageA(&msg);
    done = true;
    watchdog.join();
    return !rescued;
  }

  OffscreenBackend* backend_ = nullptr;
  fs::path dir_;
};

TEST_F(OffscreenShellRun, TheScreenshotShowsTheWindowAndItsChildrenAfterThePaints) {
  const fs::path out = dir_ / "shot.png";
  backend_->StartShell(ShellScript{{}, out.string()});
  // A captioned window: its 120 x 80 client area is what the picture holds.
  RECT frame{0, 0, 120, 80};
  AdjustWindowRectEx(&frame, WS_CAPTION | WS_SYSMENU, FALSE, 0);
  HWND top = Window(WS_CAPTION | WS_SYSMENU, 0, RECT{50, 50, 50 + frame.Width(), 50 + frame.Height()}, RGB(200, 0, 0));
  Window(WS_CHILD | WS_VISIBLE, top, RECT{10, 10, 40, 40}, RGB(0, 0, 200));
  HWND framed = Window(WS_CHILD | WS_VISIBLE | WS_BORDER, top, RECT{60, 20, 100, 60}, RGB(0, 150, 0));
  Window(WS_CHILD | WS_VISIBLE, framed, RECT{0, 0, 5, 5}, RGB(255, 255, 0));
  ShowWindow(top, SW_SHOW);
  ASSERT_TRUE(RunLoop(top)) << "the shell did not close the window";
  EXPECT_FALSE(IsWindow(top));
  EXPECT_TRUE(backend_->FinishRun());

  auto image = ReadPng(out);
  ASSERT_TRUE(image) << "no readable PNG at " << out;
  ASSERT_EQ(image->width, 120);
  ASSERT_EQ(image->height, 80);
  EXPECT_EQ(image->At(0, 0), RGB(200, 0, 0));
  EXPECT_EQ(image->At(119, 79), RGB(200, 0, 0));
  EXPECT_EQ(image->At(10, 10), RGB(0, 0, 200));
  EXPECT_EQ(image->At(39, 39), RGB(0, 0, 200));
  EXPECT_EQ(image->At(40, 40), RGB(200, 0, 0));
  EXPECT_EQ(image->At(60, 20), GetSysColor(COLOR_WINDOWFRAME)) << "the child's border";
  EXPECT_EQ(image->At(99, 59), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(image->At(61, 21), RGB(255, 255, 0)) << "the grandchild inside the border";
  EXPECT_EQ(image->At(66, 26), RGB(0, 150, 0));
}

TEST_F(OffscreenShellRun, AScreenshotThatCannotBeWrittenFailsTheRunButStillEndsIt) {
  const fs::path out = dir_ / "no-such-folder" / "shot.png";
  backend_->StartShell(ShellScript{{}, out.string()});
  HWND top = Window(WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 30, 30}, RGB(1, 2, 3));
  testing::internal::CaptureStderr();
  const bool ended = RunLoop(top);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(ended);
  EXPECT_FALSE(backend_->FinishRun());
  EXPECT_NE(said.find(out.string()), std::string::npos) << said;
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(OffscreenShellRun, WithoutOptionsTheFirstWindowIsClosedOnceIdle) {
  backend_->StartShell(ShellScript{});
  // Hidden windows are no target: only the one shown.
  HWND hidden = Window(WS_POPUP, 0, RECT{0, 0, 10, 10}, 0);
  HWND top = Window(WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 10, 10}, 0);
  EXPECT_TRUE(RunLoop(top));
  EXPECT_FALSE(IsWindow(top));
  EXPECT_TRUE(IsWindow(hidden));
  EXPECT_TRUE(backend_->FinishRun());
  DestroyWindow(hidden);
  MSG msg;
  while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
  }
}

TEST_F(OffscreenShellRun, AScreenshotAskedForWithoutAnyWindowIsAFailure) {
  backend_->StartShell(ShellScript{{}, (dir_ / "never.png").string()});
  testing::internal::CaptureStderr();
  EXPECT_FALSE(backend_->FinishRun());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("no window"), std::string::npos);
}

}  // namespace
