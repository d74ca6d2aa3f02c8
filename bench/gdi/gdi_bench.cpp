// HALFTONE stretch of a 5640 x 3172 picture to 815 x 815 beside a plain
// libjpeg decode of the same picture; the stretch should cost well under
// the decode.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "jpeg_roundtrip.h"
#include "platform/gdi/gdi.h"

using namespace platform;

namespace {

constexpr int kWidth = 5640, kHeight = 3172, kTarget = 815, kRuns = 5;

// Smooth shapes with fine texture, so the JPEG has the work of a photograph.
std::vector<uint8_t> SyntheticPhoto() {
  std::vector<uint8_t> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
  uint32_t noise = 12345;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const int grain = static_cast<int>(noise >> 28) - 8;
      uint8_t* p = rgb.data() + (static_cast<size_t>(y) * kWidth + x) * 3;
      const double r = std::sin(x * 0.003) * std::cos(y * 0.005);
      p[0] = static_cast<uint8_t>(std::clamp(128 + static_cast<int>(100 * r) + grain, 0, 255));
      p[1] = static_cast<uint8_t>(std::clamp((x * 255) / kWidth + grain, 0, 255));
      p[2] = static_cast<uint8_t>(std::clamp((y * 255) / kHeight + ((x / 64 + y / 64) % 2) * 40 + grain, 0, 255));
    }
  return rgb;
}

template <class F>
double BestMilliseconds(F&& work) {
  double best = 1e30;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto end = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double, std::milli>(end - start).count());
  }
  return best;
}

}  // namespace

int main() {
  const std::vector<uint8_t> jpeg = bench::EncodeJpeg(SyntheticPhoto(), kWidth, kHeight);
  if (jpeg.empty()) {
    std::fprintf(stderr, "could not make the JPEG\n");
    return 1;
  }
  std::vector<uint8_t> rgb;
  int w = 0, h = 0;
  const double decode = BestMilliseconds([&] { bench::DecodeJpeg(jpeg, rgb, w, h); });
  if (w != kWidth || h != kHeight) return 1;

  // The decoded picture as a 32-bit device bitmap, as the drawing code has it.
  std::vector<uint8_t> dib(static_cast<size_t>(kWidth) * kHeight * 4);
  for (size_t i = 0, n = static_cast<size_t>(kWidth) * kHeight; i < n; ++i) {
    dib[i * 4] = rgb[i * 3 + 2];
    dib[i * 4 + 1] = rgb[i * 3 + 1];
    dib[i * 4 + 2] = rgb[i * 3];
  }
  BITMAPINFO info{};
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;
  info.bmiHeader.biBitCount = 32;
  const HBITMAP source = CreateDIBitmap(0, &info.bmiHeader, CBM_INIT, dib.data(), &info, DIB_RGB_COLORS);
  const HBITMAP target = CreateCompatibleBitmap(0, kTarget, kTarget);
  const HDC sourceDc = CreateCompatibleDC(0), targetDc = CreateCompatibleDC(0);
  SelectObject(sourceDc, source);
  SelectObject(targetDc, target);
  SetStretchBltMode(targetDc, HALFTONE);
  const double stretch =
      BestMilliseconds([&] { StretchBlt(targetDc, 0, 0, kTarget, kTarget, sourceDc, 0, 0, kWidth, kHeight, SRCCOPY); });

  std::printf("JPEG decode %dx%d (%zu bytes): %.1f ms\n", kWidth, kHeight, jpeg.size(), decode);
  std::printf("HALFTONE stretch to %dx%d:       %.1f ms\n", kTarget, kTarget, stretch);
  std::printf("stretch / decode = %.3f\n", stretch / decode);
  DeleteDC(sourceDc);
  DeleteDC(targetDc);
  DeleteObject(source);
  DeleteObject(target);
  return 0;
}
