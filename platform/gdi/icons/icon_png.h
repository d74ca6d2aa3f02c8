// PNG images inside icon files, read through libpng's simplified API.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform::gdi {

struct DecodedPng {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top-down
};

bool LooksLikePng(std::span<const uint8_t> data);
std::optional<DecodedPng> DecodePng(std::span<const uint8_t> data);

}  // namespace platform::gdi
