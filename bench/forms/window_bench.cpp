// The tool's window: reading its form data, loading it and painting it the
// first time (the background photograph decoded and stretched), then a
// repaint. Side by side with a plain libjpeg decode of the same photograph
// in this process. Prints medians and ratios.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/program.h"
#include "bench/gdi/jpeg_roundtrip.h"
#include "platform/windows/window.h"
#include "runtime/core/application.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/services.h"
#include "runtime/core/shutdown.h"
#include "runtime/forms/window_table.h"
#include "runtime/picture/table/picture_table.h"
#include "runtime/units/window/window_block.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 9;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

platform::HWND ToolWindow() {
  auto* object = reinterpret_cast<runtime::UnitObject*>(
      runtime::NotifyRuntime(runtime::notify::kFindUnitObject, app::kWindowId, 0));
  return object ? object->WindowHandle() : 0;
}

}  // namespace

int main() {
  std::vector<double> load, repaint, decode;
  std::vector<uint8_t> photograph;
  for (int round = 0; round < kRounds; ++round) {
    runtime::ResetApplication();
    runtime::picture::table::InstallPictureTable();
    runtime::forms::InstallForms();
    runtime::services::SetProgramHeader(&app::ProgramHeader());
    const auto start = Clock::now();
    runtime::services::InitialiseRuntime();
    runtime::services::Services().LoadWindow(app::kWindowId);
    const platform::HWND window = ToolWindow();
    platform::UpdateWindow(window);
    const auto loaded = Clock::now();
    platform::InvalidateRect(window, nullptr, 0);
    platform::UpdateWindow(window);
    const auto repainted = Clock::now();
    load.push_back(Ms(start, loaded));
    repaint.push_back(Ms(loaded, repainted));
    if (photograph.empty()) {
      auto* table = runtime::forms::Windows();
      auto block = runtime::units::window::ReadWindowBlock(table->Find(app::kWindowId)->units.TypeBlock(0));
      photograph = block->picture;
    }
    runtime::ShutdownRuntime(0);

    std::vector<uint8_t> rgb;
    int width = 0, height = 0;
    const auto before = Clock::now();
    bench::DecodeJpeg(photograph, rgb, width, height);
    decode.push_back(Ms(before, Clock::now()));
  }
  const double plain = Median(decode);
  std::printf("plain libjpeg decode of the background (%zu bytes): %.2f ms\n", photograph.size(), plain);
  std::printf("form read + window load + first paint: %.2f ms (ratio %.2f)\n", Median(load), Median(load) / plain);
  std::printf("repaint of the whole client area:      %.3f ms (ratio %.3f)\n", Median(repaint),
              Median(repaint) / plain);
  return 0;
}
