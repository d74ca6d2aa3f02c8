#include "runtime/picture/formats/png_stream.h"

#include <zlib.h>

#include <array>
#include <cstring>
#include <optional>

namespace runtime::picture::formats {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// What an encoder may add after the last row (an empty final block, a
// stored block's padding) without it being a bomb.
constexpr uint64_t kSlackBytes = 64 * 1024;

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// Bytes of filtered rows the header declares: a filter byte and the packed
// samples of each row, over the seven passes when interlaced.
std::optional<uint64_t> RowBytes(std::span<const uint8_t> header) {
  const uint64_t width = BigEndian32(&header[0]), height = BigEndian32(&header[4]);
  const uint32_t depth = header[8], colour = header[9], interlace = header[12];
  uint32_t samples = 0;
  switch (colour) {
    case 0: samples = 1; break;  // grey
    case 2: samples = 3; break;  // colour
    case 3: samples = 1; break;  // palette
    case 4: samples = 2; break;  // grey and alpha
    case 6: samples = 4; break;  // colour and alpha
    default: return std::nullopt;
  }
  if (width == 0 || height == 0 || depth == 0 || depth > 16) return std::nullopt;
  const uint64_t bitsPerPixel = uint64_t{samples} * depth;
  auto rows = [&](uint64_t w, uint64_t h) { return w == 0 || h == 0 ? 0 : h * (1 + (w * bitsPerPixel + 7) / 8); };
  if (interlace == 0) return rows(width, height);
  // Adam7: each pass takes every n-th column and row from an offset.
  static constexpr std::array<std::array<uint64_t, 4>, 7> kPasses{
      {{0, 8, 0, 8}, {4, 8, 0, 8}, {0, 4, 4, 8}, {2, 4, 0, 4}, {0, 2, 2, 4}, {1, 2, 0, 2}, {0, 1, 1, 2}}};
  uint64_t total = 0;
  for (const auto& [x0, dx, y0, dy] : kPasses) {
    const uint64_t w = width > x0 ? (width - x0 + dx - 1) / dx : 0;
    const uint64_t h = height > y0 ? (height - y0 + dy - 1) / dy : 0;
    total += rows(w, h);
  }
  return total;
}

}  // namespace

bool PngInflatesWithinItsRows(std::span<const uint8_t> file) {
  if (file.size() < 8 + 25 || std::memcmp(file.data(), kSignature, 8) != 0) return false;
  std::optional<uint64_t> allowed;
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return false;
  struct Ender {
    z_stream& s;
    ~Ender() { inflateEnd(&s); }
  } ender{stream};
  std::array<uint8_t, 16384> scratch;
  uint64_t produced = 0;
  bool ended = false;
  for (size_t at = 8; at + 12 <= file.size();) {
    const uint64_t length = BigEndian32(&file[at]);
    const uint8_t* type = &file[at + 4];
    if (length > file.size() - at - 12) return false;  // a chunk past the end
    const uint8_t* data = &file[at + 8];
    if (std::memcmp(type, "IHDR", 4) == 0) {
      if (length < 13) return false;
      allowed = RowBytes(std::span<const uint8_t>(data, 13));
      if (!allowed) return false;
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      if (!allowed) return false;
      if (ended) {  // past the stream's end: nothing inflates any more
        at += 12 + length;
        continue;
      }
      stream.next_in = const_cast<uint8_t*>(data);
      stream.avail_in = static_cast<uInt>(length);
      while (stream.avail_in > 0 && !ended) {
        stream.next_out = scratch.data();
        stream.avail_out = scratch.size();
        const int result = inflate(&stream, Z_NO_FLUSH);
        produced += scratch.size() - stream.avail_out;
        if (produced > *allowed + kSlackBytes) return false;
        if (result == Z_STREAM_END)
          ended = true;
        else if (result == Z_BUF_ERROR)
          break;  // wants the next chunk
        else if (result != Z_OK)
          return true;  // broken: decoding says what that means
      }
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      break;
    }
    at += 12 + length;
  }
  // Decoding decides what a short or broken stream means; only a stream
  // that says too much is refused here.
  return allowed.has_value();
}

}  // namespace runtime::picture::formats
