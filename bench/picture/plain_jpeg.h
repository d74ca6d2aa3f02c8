// What libjpeg alone takes to decode a file, for the picture benchmarks to
// measure against: one scan line at a time into one blue-green-red block.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

// jpeglib.h needs FILE declared first. It defines TRUE and FALSE as macros:
// include this after the platform's types.
#include <jpeglib.h>
#include <cstdio>

#include "bench/stats.h"

namespace bench {

// Bottom-up blue-green-red rows, as the picture decoder makes them; at
// `eighths` / 8 of the full size (libjpeg's scaled decode) when below 8.
// Answers the decoded width and height.
inline std::pair<int, int> PlainJpegDecode(const std::vector<uint8_t>& file, std::vector<uint8_t>& pixels,
                                           int eighths = 8) {
  jpeg_decompress_struct d;
  jpeg_error_mgr err;
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&d, TRUE);
  d.out_color_space = JCS_EXT_BGR;
  d.scale_num = static_cast<unsigned>(eighths);
  d.scale_denom = 8;
  jpeg_start_decompress(&d);
  const std::pair<int, int> size{static_cast<int>(d.output_width), static_cast<int>(d.output_height)};
  const size_t stride = static_cast<size_t>(d.output_width) * 3;
  pixels.resize(stride * d.output_height);
  while (d.output_scanline < d.output_height) {
    JSAMPROW row = pixels.data() + (d.output_height - 1 - d.output_scanline) * stride;
    jpeg_read_scanlines(&d, &row, 1);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  return size;
}

}  // namespace bench
