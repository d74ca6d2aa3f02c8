// Helpers shared by the picture tests: sample files from independent
// encoders, pixel access by picture kind, and byte builders for hand-made files.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/picture/picture.h"

namespace picture_test {

using Bytes = std::vector<uint8_t>;
using runtime::picture::Picture;
using runtime::picture::PicturePtr;

Bytes ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const Bytes& bytes);

// Folder of files written by make_samples.py (made once per build tree).
const std::filesystem::path& Samples();
Bytes Sample(const std::string& name);

PicturePtr Decode(const Bytes& bytes);

// Top-down red, green, blue of every pixel, whatever the kind's own layout.
Bytes ToRgb(const Picture& picture);
// Top-down red, green, blue, alpha of a PNG picture.
Bytes ToRgba(const Picture& picture);
std::array<uint8_t, 3> RgbAt(const Picture& picture, int x, int y);

struct Pnm {
  int width = 0;
  int height = 0;
  int channels = 0;
  Bytes pixels;
};
Pnm ReadPnm(const std::filesystem::path& path);

// Largest difference between two equally long byte runs (255 when lengths differ).
int MaxDifference(const Bytes& a, const Bytes& b);

class ByteWriter {
 public:
  ByteWriter& U8(uint32_t v) {
    bytes.push_back(static_cast<uint8_t>(v));
    return *this;
  }
  ByteWriter& U16(uint32_t v) { return U8(v).U8(v >> 8); }
  ByteWriter& U32(uint32_t v) { return U16(v).U16(v >> 16); }
  ByteWriter& Raw(const Bytes& b) {
    bytes.insert(bytes.end(), b.begin(), b.end());
    return *this;
  }
  ByteWriter& Text(const char* s) {
    while (*s) U8(static_cast<uint8_t>(*s++));
    return *this;
  }
  ByteWriter& Zeros(size_t n) {
    bytes.insert(bytes.end(), n, 0);
    return *this;
  }
  Bytes bytes;
};

}  // namespace picture_test
