// JPEG decode time of a 5640 x 3172 photograph-like image (made here: smooth
// shapes, gradients and fine grain, compressed at quality 90 with 4:2:0
// chroma, as cameras and photo editors write them).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <vector>

#include "runtime/picture/picture_decode.h"

// After the platform types: libjpeg defines TRUE and FALSE as macros.
#include <jpeglib.h>

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

// The library alone: the same bytes decoded one scan line at a time into one
// block, blue-green-red, as fast as libjpeg goes.
bool PlainDecode(const std::vector<uint8_t>& file, std::vector<uint8_t>& pixels) {
  jpeg_decompress_struct d;
  jpeg_error_mgr err;
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&d, TRUE);
  d.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&d);
  const size_t stride = static_cast<size_t>(d.output_width) * 3;
  pixels.resize(stride * d.output_height);
  while (d.output_scanline < d.output_height) {
    JSAMPROW row = pixels.data() + (d.output_height - 1 - d.output_scanline) * stride;
    jpeg_read_scanlines(&d, &row, 1);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  return true;
}

double Median(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
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
        runtime::picture::DecodePicture(file.data(), static_cast<int64_t>(file.size()));
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
    PlainDecode(file, fresh);
    plain.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("DecodePicture: min %.1f ms, median %.1f ms, max %.1f ms over %d runs (%.1f Mpixel/s at the median)\n",
              ms.front(), ms[ms.size() / 2], ms.back(), runs, kWidth * double(kHeight) / 1e3 / ms[ms.size() / 2]);
  std::printf("plain libjpeg on the same bytes: median %.1f ms; DecodePicture / plain = %.3f\n", Median(plain),
              Median(ms) / Median(plain));
  return 0;
}
