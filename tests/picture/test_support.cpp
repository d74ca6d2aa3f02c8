#include "test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "runtime/picture/formats/picture_decode.h"
#include "runtime/picture/table/picture_table.h"

namespace picture_test {

namespace fs = std::filesystem;

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

const fs::path& Samples() {
  // Test cases run as separate processes: the first one to get here writes
  // the samples into a private folder and renames it into place.
  static const fs::path folder = [] {
    const fs::path target = fs::path(TESSELLON_BINARY_DIR) / "picture_samples";
    if (fs::exists(target / "done")) return target;
    const fs::path scratch = target.string() + ".tmp" + std::to_string(getpid());
    const std::string command =
        std::string("/usr/bin/python3 ") + TESSELLON_TEST_DATA + "/make_samples.py " + scratch.string();
    if (std::system(command.c_str()) != 0) {
      ADD_FAILURE() << "sample generation failed: " << command;
      return target;
    }
    WriteFile(scratch / "done", {});
    std::error_code ignored;
    fs::rename(scratch, target, ignored);
    fs::remove_all(scratch, ignored);
    return target;
  }();
  return folder;
}

Bytes Sample(const std::string& name) {
  Bytes bytes = ReadFile(Samples() / name);
  EXPECT_FALSE(bytes.empty()) << name;
  return bytes;
}

PicturePtr Decode(const Bytes& bytes) {
  return PicturePtr(runtime::picture::table::DecodePicture(bytes.data(), static_cast<int64_t>(bytes.size())));
}

std::array<uint8_t, 3> RgbAt(const Picture& p, int x, int y) {
  const size_t w = static_cast<size_t>(p.width), h = static_cast<size_t>(p.height);
  const uint8_t* px = p.pixels;
  switch (p.kind) {
    case 1:
    case 2: {
      const uint8_t* q = px + ((h - 1 - y) * w + x) * 3;
      return {q[2], q[1], q[0]};
    }
    case 5:
    case 6: {
      const int32_t dibWidth = static_cast<int32_t>(px[4] | px[5] << 8 | px[6] << 16 | px[7] << 24);
      const size_t stride = (static_cast<size_t>(dibWidth) + 3) / 4 * 4;
      const uint8_t index = px[1064 + y * stride + x];
      const uint8_t* e = px + 40 + index * 4;
      return {e[2], e[1], e[0]};
    }
    case 7: {
      const size_t stride = ((w + 7) / 8 + 1) / 2 * 2;
      const bool set = (px[y * stride + x / 8] >> (7 - x % 8)) & 1;
      return set ? std::array<uint8_t, 3>{255, 255, 255} : std::array<uint8_t, 3>{0, 0, 0};
    }
    case 8: {
      const uint8_t* q = px + (y * w + x) * 4;
      return {q[2], q[1], q[0]};
    }
    default: ADD_FAILURE() << "no pixels in kind " << p.kind; return {};
  }
}

Bytes ToRgb(const Picture& p) {
  Bytes out;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const auto rgb = RgbAt(p, x, y);
      out.insert(out.end(), rgb.begin(), rgb.end());
    }
  }
  return out;
}

Bytes ToRgba(const Picture& p) {
  Bytes out;
  for (int i = 0; i < p.width * p.height; ++i) {
    const uint8_t* q = p.pixels + i * 4;
    out.insert(out.end(), {q[2], q[1], q[0], q[3]});
  }
  return out;
}

Pnm ReadPnm(const fs::path& path) {
  Pnm pnm;
  const Bytes bytes = ReadFile(path);
  std::string text(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 64));
  std::istringstream header(text);
  std::string magic;
  int maxValue = 0;
  header >> magic >> pnm.width >> pnm.height >> maxValue;
  pnm.channels = magic == "P6" ? 3 : 1;
  const size_t start = static_cast<size_t>(header.tellg()) + 1;
  pnm.pixels.assign(bytes.begin() + static_cast<ptrdiff_t>(start), bytes.end());
  return pnm;
}

int MaxDifference(const Bytes& a, const Bytes& b) {
  if (a.size() != b.size()) return 255;
  int worst = 0;
  for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::abs(int{a[i]} - int{b[i]}));
  return worst;
}

}  // namespace picture_test
