#include "runtime/imageconv/codecs/pcx_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "runtime/imageconv/byte_input.h"
#include "runtime/imageconv/image_size.h"

namespace runtime::imageconv::codecs {
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
  OpenFile file;
  if (!file.source.OpenStream(path, target, progress)) return false;
  FILE* in = file.source.stream.get();
  std::array<uint8_t, kHeaderBytes> bytes{};
  auto fileSize = StreamFileSize(in);
  if (!fileSize || !ReadExact(in, bytes.data(), bytes.size()) || bytes[0] != kManufacturer) return false;
  ByteFields header(bytes);
  const int32_t xMin = *header.I16(4), yMin = *header.I16(6), xMax = *header.I16(8), yMax = *header.I16(10);
  const uint32_t bitsPerPixel = bytes[3];
  const uint32_t planes = bytes[65];
  const uint32_t bytesPerLine = *header.U16(66);
  const uint32_t bits = planes * bitsPerPixel;
  // A one-pixel-wide or one-line image is refused, as is an inverted frame.
  if (xMax <= xMin || yMax <= yMin || (bits != 8 && bits != 24)) return false;
  file.width = xMax - xMin + 1;
  file.height = yMax - yMin + 1;
  // Lines must hold their pixels: a colour line is three planes of the row.
  const bool linesFit = bits == 8 ? static_cast<uint64_t>(planes) * bytesPerLine >= static_cast<uint64_t>(file.width)
                                  : planes == 3 && bytesPerLine >= static_cast<uint32_t>(file.width);
  const uint64_t minimumSize = kHeaderBytes + (bits == 8 ? kPaletteBytes : 0);
  if (!linesFit || *fileSize < minimumSize || !CheckedImageBytes(file.width, file.height, bits / 8)) return false;
  file.bits = static_cast<int32_t>(bits);
  file.planes = planes;
  file.bytesPerLine = bytesPerLine;
  file.fileSize = *fileSize;
  file_ = std::move(file);
  return true;
}

bool PcxReader::Read() {
  const std::optional<OpenFile> taken = TakeForRead();
  if (!taken) return false;
  const OpenFile& file = *taken;
  FILE* in = file.source.stream.get();
  ImageBuffer& image = *file.source.target;
  const int32_t width = file.width, height = file.height, bits = file.bits;
  const uint64_t dataBytes = file.fileSize - kHeaderBytes - (bits == 8 ? kPaletteBytes : 0);
  const uint64_t lineBytes = static_cast<uint64_t>(file.planes) * file.bytesPerLine;
  // Data that cannot possibly fill every line fails before pixel memory is made.
  auto needed = CheckedSpan(lineBytes, static_cast<uint64_t>(height), 0, UINT64_MAX);
  if (!needed || *needed / kMostBytesPerDataByte > dataBytes) return FailRead(image);

  std::vector<uint8_t> palette(kPaletteBytes);
  if (bits == 8 && (!SeekTo(in, file.fileSize - kPaletteBytes) || !ReadExact(in, palette.data(), palette.size()))) {
    return FailRead(image);
  }
  if (!image.Create(width, height, bits, bits == 8 ? 256 : 0) || !SeekTo(in, kHeaderBytes)) return FailRead(image);
  if (bits == 8) {
    for (size_t i = 0; i < 256; ++i) std::memcpy(image.Palette() + i * kPaletteEntryBytes, &palette[i * 3], 3);
  }

  PcxLineDecoder decoder(in, dataBytes);
  std::vector<uint8_t> line(static_cast<size_t>(lineBytes));
  const size_t planeBytes = file.bytesPerLine;
  for (int32_t y = 0; y < height; ++y) {
    // Data that end before the last line fail the whole read.
    if (!decoder.DecodeLine(line.data(), line.size())) return FailRead(image);
    uint8_t* out = image.Row(y);
    if (bits == 8) {
      std::memcpy(out, line.data(), static_cast<size_t>(width));
    } else {
      for (int32_t x = 0; x < width; ++x, out += 3) {
        out[0] = line[static_cast<size_t>(x)];
        out[1] = line[planeBytes + static_cast<size_t>(x)];
        out[2] = line[2 * planeBytes + static_cast<size_t>(x)];
      }
    }
    ReportProgress(file.source.progress, kProgressReading, y, height);
  }
  return true;
}

}  // namespace runtime::imageconv::codecs
