// Plain libjpeg compression and decompression for the benchmark's picture.
#pragma once

#include <cstdint>
#include <vector>

namespace bench {

// RGB rows top-down in, JPEG bytes out (quality 90); empty on failure.
std::vector<uint8_t> EncodeJpeg(const std::vector<uint8_t>& rgb, int width, int height);
// JPEG bytes in, RGB rows top-down out, one scan line at a time; false on failure.
bool DecodeJpeg(const std::vector<uint8_t>& jpeg, std::vector<uint8_t>& rgb, int& width, int& height);

}  // namespace bench
