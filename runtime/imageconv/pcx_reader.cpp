#include "runtime/imageconv/pcx_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "runtime/imageconv/byte_input.h"
#include "runtime/imageconv/image_size.h"

namespace runtime::imageconv {
namespace {

constexpr size_t kHeaderBytes = 128;
constexpr uint8_t kManufacturer = 10;
constexpr size_t kPaletteBytes = 768;  // 256 × red, green, blue at the end of the file
// A run needs two bytes and gives at most 63, so one data byte never gives
// more than this many pixel bytes.
constexpr uint64_t kMostBytesPerDataByte = 32;

}  // namespace

bool PcxLineDecoder::NextByte(uint8_t* byte) {
  if (position_ == filled_) {
    if (remaining_ == 0) return false;
    const size_t want = static_cast<size_t>(std::min<uint64_t>(remaining_, sizeof(buffer_)));
    filled_ = std::fread(buffer_, 1, want, in_);
    position_ = 0;
    if (filled_ == 0) {
      remaining_ = 0;
      return false;
    }
    remaining_ -= filled_;
  }
  *byte = buffer_[position_++];
  return true;
}

bool PcxLineDecoder::DecodeLine(uint8_t* line, size_t size) {
  size_t written = 0;
  while (written < size) {
    uint8_t code = 0;
    if (!NextByte(&code)) return false;
    if (code < 0xC0) {
      line[written++] = code;
      continue;
    }
    uint8_t value = 0;
    if (!NextByte(&value)) return false;
    const size_t run = std::min<size_t>(code & 0x3F, size - written);
    std::memset(line + written, value, run);
    written += run;
  }
  return true;
}

bool PcxReader::Open(const char* path, ImageBuffer* target, ProgressCallback progress) {
  Reset();
  if (!source_.OpenStream(path, target, progress)) return false;
  FILE* in = source_.stream.get();
  std::array<uint8_t, kHeaderBytes> bytes{};
  auto fileSize = StreamFileSize(in);
  if (!fileSize || !ReadExact(in, bytes.data(), bytes.size()) || bytes[0] != kManufacturer) return Reset(), false;
  ByteFields header(bytes);
  const int32_t xMin = *header.I16(4), yMin = *header.I16(6), xMax = *header.I16(8), yMax = *header.I16(10);
  const uint32_t bitsPerPixel = bytes[3];
  const uint32_t planes = bytes[65];
  const uint32_t bytesPerLine = *header.U16(66);
  const uint32_t bits = planes * bitsPerPixel;
  // A one-pixel-wide or one-line image is refused, as is an inverted frame.
  if (xMax <= xMin || yMax <= yMin || (bits != 8 && bits != 24)) return Reset(), false;
  width_ = xMax - xMin + 1;
  height_ = yMax - yMin + 1;
  // Lines must hold their pixels: a colour line is three planes of the row.
  const bool linesFit = bits == 8 ? static_cast<uint64_t>(planes) * bytesPerLine >= static_cast<uint64_t>(width_)
                                  : planes == 3 && bytesPerLine >= static_cast<uint32_t>(width_);
  const uint64_t minimumSize = kHeaderBytes + (bits == 8 ? kPaletteBytes : 0);
  if (!linesFit || *fileSize < minimumSize || !CheckedImageBytes(width_, height_, bits / 8)) {
    return Reset(), false;
  }
  bits_ = static_cast<int32_t>(bits);
  planes_ = planes;
  bytesPerLine_ = bytesPerLine;
  fileSize_ = *fileSize;
  source_.opened = true;
  return true;
}

bool PcxReader::Read() {
  if (!source_.opened || !source_.target) return Reset(), false;
  FILE* in = source_.stream.get();
  ImageBuffer& image = *source_.target;
  const uint64_t dataBytes = fileSize_ - kHeaderBytes - (bits_ == 8 ? kPaletteBytes : 0);
  const uint64_t lineBytes = static_cast<uint64_t>(planes_) * bytesPerLine_;
  // Data that cannot possibly fill every line fails before pixel memory is made.
  auto needed = CheckedSpan(lineBytes, static_cast<uint64_t>(height_), 0, UINT64_MAX);
  if (!needed || *needed / kMostBytesPerDataByte > dataBytes) return FailRead(image);

  std::vector<uint8_t> palette(kPaletteBytes);
  if (bits_ == 8 && (!SeekTo(in, fileSize_ - kPaletteBytes) || !ReadExact(in, palette.data(), palette.size()))) {
    return FailRead(image);
  }
  if (!image.Create(width_, height_, bits_, bits_ == 8 ? 256 : 0) || !SeekTo(in, kHeaderBytes)) return FailRead(image);
  if (bits_ == 8) {
    for (size_t i = 0; i < 256; ++i) std::memcpy(image.Palette() + i * kPaletteEntryBytes, &palette[i * 3], 3);
  }

  PcxLineDecoder decoder(in, dataBytes);
  std::vector<uint8_t> line(static_cast<size_t>(lineBytes));
  const size_t planeBytes = bytesPerLine_;
  for (int32_t y = 0; y < height_; ++y) {
    // Data that end before the last line fail the whole read.
    if (!decoder.DecodeLine(line.data(), line.size())) return FailRead(image);
    uint8_t* out = image.Row(y);
    if (bits_ == 8) {
      std::memcpy(out, line.data(), static_cast<size_t>(width_));
    } else {
      for (int32_t x = 0; x < width_; ++x, out += 3) {
        out[0] = line[static_cast<size_t>(x)];
        out[1] = line[planeBytes + static_cast<size_t>(x)];
        out[2] = line[2 * planeBytes + static_cast<size_t>(x)];
      }
    }
    ReportProgress(source_.progress, kProgressReading, y, height_);
  }
  Reset();
  return true;
}

void PcxReader::Reset() {
  source_.Close();
  width_ = height_ = bits_ = 0;
  planes_ = bytesPerLine_ = 0;
  fileSize_ = 0;
}

}  // namespace runtime::imageconv
