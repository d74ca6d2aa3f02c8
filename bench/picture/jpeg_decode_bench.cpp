// JPEG decode time of a 5640 x 3172 photograph-like image (made here: smooth
// shapes, gradients and fine grain, compressed at quality 90 with 4:2:0
// chroma, as cameras and photo editors write them).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "runtime/picture/formats/picture_decode.h"
#include "runtime/picture/table/picture_table.h"

#include "plain_jpeg.h"

namespace {

constexpr int kWidth = 5640;
constexpr int kHeight = 3172;

std::vector<uint8_t> MakePhotoLikeJpeg() {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = kWidth;
  c.image_height = kHeight;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 90, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> line(kWidth * 3);
  uint32_t seed = 12345;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const double grain = ((seed >> 24) & 15) - 7.5;
      const double u = x / 400.0, v = y / 300.0;
      const double sky = 120 + 60 * std::sin(u * 0.7 + std::cos(v * 1.3)) + 30 * std::cos(v * 2.1 - u * 0.4);
      const double hills = 90 + 70 * std::sin(u * 1.9 + v * 0.5) * std::cos(v * 1.1);
      const double light = 100 + 80 * std::sin((u + v) * 0.9) + 20 * std::sin(u * 7.3) * std::sin(v * 5.1);
      auto clamp = [](double value) { return static_cast<uint8_t>(std::clamp(value, 0.0, 255.0)); };
      line[x * 3] = clamp(light + grain);
      line[x * 3 + 1] = clamp(hills + grain);
      line[x * 3 + 2] = clamp(sky + grain);
    }
    JSAMPROW row = line.data();
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<uint8_t> bytes(out, out + size);
  std::free(out);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const std::vector<uint8_t> file = MakePhotoLikeJpeg();
  std::printf("JPEG %d x %d, %zu bytes\n", kWidth, kHeight, file.size());
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    runtime::picture::Picture* picture =
        runtime::picture::table::DecodePicture(file.data(), static_cast<int64_t>(file.size()));
    const auto stop = std::chrono::steady_clock::now();
    if (!picture || picture->width != kWidth || picture->height != kHeight) {
      std::fprintf(stderr, "decode failed\n");
      return 1;
    }
    runtime::picture::DestroyPicture(picture);
    ms.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
  }
  std::vector<double> plain;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<uint8_t> fresh;  // a new block each time, as a decode makes
    bench::PlainJpegDecode(file, fresh);
    plain.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("DecodePicture: min %.1f ms, median %.1f ms, max %.1f ms over %d runs (%.1f Mpixel/s at the median)\n",
              ms.front(), ms[ms.size() / 2], ms.back(), runs, kWidth * double(kHeight) / 1e3 / ms[ms.size() / 2]);
  std::printf("plain libjpeg on the same bytes: median %.1f ms; DecodePicture / plain = %.3f\n", bench::Median(plain),
              bench::Median(ms) / bench::Median(plain));
  return 0;
}
