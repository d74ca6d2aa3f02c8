// Setting a picture box's picture (#10) to an 18 MP progressive photograph:
// the decode and the first paint at 182 x 182, against a plain libjpeg decode
// of the same bytes in the same run, and a repaint (which decodes nothing).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "../gdi/jpeg_roundtrip.h"
#include "platform/windows/window.h"
#include "runtime/units/picture_box/picture_box.h"
#include "runtime/units/picture_box/picture_box_block.h"

#include "bench/stats.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

using bench::Median;

platform::HWND MakeParent() {
  platform::WNDCLASSA wc;
  wc.lpfnWndProc = platform::DefWindowProcA;
  wc.lpszClassName = "BenchParent";
  platform::RegisterClassA(&wc);
  const platform::HWND parent =
      platform::CreateWindowExA(0, "BenchParent", "bench", platform::WS_POPUP, 0, 0, 300, 300, 0, 0, nullptr);
  platform::ShowWindow(parent, platform::SW_SHOW);
  return parent;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::ifstream in(std::string(TESSELLON_SOURCE_DIR) + "/assets/samples/sample3.jpg", std::ios::binary);
  const std::vector<uint8_t> photo((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (photo.empty()) {
    std::fprintf(stderr, "sample3.jpg not found\n");
    return 1;
  }

  runtime::units::picture_box::PictureBoxBlock settings;
  settings.displayMode = 1;  // stretched, as the tool's boxes
  const std::vector<uint8_t> block = runtime::units::picture_box::WritePictureBoxBlock(settings);
  runtime::CreateParams params;
  params.block = block.data();
  params.blockLength = static_cast<int32_t>(block.size());
  params.style = platform::WS_VISIBLE;
  params.parent = MakeParent();
  params.x = 24, params.y = 72, params.width = 182, params.height = 182;
  auto* box =
      static_cast<runtime::units::picture_box::PictureBox*>(runtime::units::picture_box::PictureBox::Create(params));
  if (!box) {
    std::fprintf(stderr, "no box\n");
    return 1;
  }
  const platform::HWND hwnd = box->WindowHandle();
  platform::UpdateWindow(hwnd);

  std::vector<double> set, firstPaint, repaint, plain;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    box->SetProperty(runtime::units::picture_box::picture_box_property::kPicture,
                     runtime::RawValue{reinterpret_cast<intptr_t>(photo.data()), static_cast<intptr_t>(photo.size())});
    const auto paintStart = Clock::now();
    platform::UpdateWindow(hwnd);
    firstPaint.push_back(Ms(paintStart));
    set.push_back(Ms(start));

    const auto again = Clock::now();
    platform::InvalidateRect(hwnd, nullptr, platform::FALSE);
    platform::UpdateWindow(hwnd);
    repaint.push_back(Ms(again));

    box->SetProperty(runtime::units::picture_box::picture_box_property::kPicture, runtime::RawValue{});
    platform::UpdateWindow(hwnd);

    // Alternated with the box, so both see the same load on the machine.
    std::vector<uint8_t> rgb;
    int width = 0, height = 0;
    const auto plainStart = Clock::now();
    if (!bench::DecodeJpeg(photo, rgb, width, height)) {
      std::fprintf(stderr, "plain decode failed\n");
      return 1;
    }
    plain.push_back(Ms(plainStart));
  }
  platform::DestroyWindow(params.parent);

  std::printf("sample3.jpg, %zu bytes, %d runs (medians)\n", photo.size(), runs);
  std::printf("set #10 (decode + first paint at 182 x 182): %.1f ms\n", Median(set));
  std::printf("  of which the first paint:                  %.1f ms\n", Median(firstPaint));
  std::printf("repaint of the same box:                     %.3f ms\n", Median(repaint));
  std::printf("plain libjpeg decode:                        %.1f ms\n", Median(plain));
  std::printf("set #10 / plain decode = %.3f\n", Median(set) / Median(plain));
  return 0;
}
