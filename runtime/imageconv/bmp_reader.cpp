#include "runtime/imageconv/bmp_reader.h"

#include <array>
#include <vector>

#include "runtime/imageconv/byte_input.h"
#include "runtime/imageconv/image_size.h"

namespace runtime::imageconv {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
// The widest info header (version 5); later fields are never read.
constexpr size_t kLargestInfoHeader = 124;
// biWidth, biHeight, biPlanes and biBitCount.
constexpr uint32_t kShortestInfoHeader = 16;

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3 };

// Bytes of one file row: 24-bit pixels padded to a 4-byte multiple.
std::optional<uint64_t> RowBytes(int32_t width) {
  auto bits = CheckedSpan(static_cast<uint64_t>(width), 24, 31, UINT32_MAX);
  if (!bits) return std::nullopt;
  return *bits / 32 * 4;
}

}  // namespace

bool BmpReader::Open(const char* path, ImageBuffer* target, ProgressCallback progress) {
  Reset();
  if (!source_.OpenStream(path, target, progress)) return false;
  FILE* in = source_.stream.get();
  auto fileSize = StreamFileSize(in);
  std::array<uint8_t, kFileHeaderBytes> fileHeader{};
  if (!fileSize || !ReadExact(in, fileHeader.data(), fileHeader.size())) return Reset(), false;
  ByteFields file(fileHeader);
  const bool typeOk = (fileHeader[0] == 'B' && fileHeader[1] == 'M') || (fileHeader[0] == 'B' && fileHeader[1] == 'A');
  const uint32_t offBits = *file.U32(10);
  if (!typeOk || offBits < kFileHeaderBytes + 4 || offBits > *fileSize) return Reset(), false;

  // The info header (the palette after it is of no use to a 24-bit image).
  std::array<uint8_t, kLargestInfoHeader> headerBytes{};
  const size_t available = std::min<size_t>(offBits - kFileHeaderBytes, headerBytes.size());
  if (!ReadExact(in, headerBytes.data(), available)) return Reset(), false;
  ByteFields header(std::span<const uint8_t>(headerBytes.data(), available));
  const uint32_t headerSize = *header.U32(0);
  if (headerSize > offBits - kFileHeaderBytes) return Reset(), false;  // pixels inside the header

  // Both variants are first tested on the 32-bit fields at 4 and 8.
  auto wide = header.I32(4);
  auto high = header.I32(8);
  if (!wide || !high || *wide <= 0 || *high == 0) return Reset(), false;

  uint32_t bitCount = 0;
  if (headerSize == kCoreHeaderBytes) {
    width_ = *header.U16(4);
    height_ = *header.U16(6);
    bitCount = *header.U16(10);
    bottomUp_ = true;
  } else {
    if (headerSize < kShortestInfoHeader) return Reset(), false;
    const uint32_t compression = headerSize >= 20 ? *header.U32(16) : kRgb;
    if (compression > kBitfields || *high == INT32_MIN) return Reset(), false;
    bitCount = *header.U16(14);
    if (compression == kRle8) bitCount = 8;
    if (compression == kRle4) bitCount = 4;
    width_ = *wide;
    bottomUp_ = *high >= 0;
    height_ = *high >= 0 ? *high : -*high;
  }
  if (bitCount != 24 || width_ <= 0 || height_ <= 0 || !CheckedImageBytes(width_, height_, 3)) {
    return Reset(), false;
  }
  pixelOffset_ = offBits;
  source_.opened = true;
  return true;
}

bool BmpReader::Prepare() {
  if (!source_.opened || !source_.target) return false;
  FILE* in = source_.stream.get();
  auto rowBytes = RowBytes(width_);
  auto fileSize = StreamFileSize(in);
  // A file too short for its rows fails before any pixel memory is made.
  auto end = rowBytes ? CheckedSpan(*rowBytes, static_cast<uint64_t>(height_), pixelOffset_, UINT64_MAX / 2)
                      : std::nullopt;
  if (!end || !fileSize || *end > *fileSize) return false;
  rowBytes_ = *rowBytes;
  row_.resize(static_cast<size_t>(rowBytes_));
  return source_.target->Create(width_, height_, 24, 0);
}

// Image rows top to bottom, each read from where it lies in the file, so
// that an encoder on another thread can take the first ones at once.
bool BmpReader::Fill(RowFeed* feed) {
  ImageBuffer& image = *source_.target;
  const int descriptor = fileno(source_.stream.get());
  // Published in groups: waking the encoder for every row costs more than
  // the row.
  constexpr int32_t kRowsPerPublish = 32;
  for (int32_t y = 0; y < height_; ++y) {
    const uint64_t fileRow = static_cast<uint64_t>(bottomUp_ ? height_ - 1 - y : y);
    if (!ReadExactAt(descriptor, row_.data(), row_.size(), pixelOffset_ + fileRow * rowBytes_)) {
      if (feed) feed->Fail();
      return false;
    }
    uint8_t* out = image.Row(y);
    const uint8_t* bgr = row_.data();
    for (int32_t x = 0; x < width_; ++x, bgr += 3, out += 3) {
      out[0] = bgr[2];
      out[1] = bgr[1];
      out[2] = bgr[0];
    }
    if (feed && ((y + 1) % kRowsPerPublish == 0 || y + 1 == height_)) feed->Publish(y + 1);
    if (!feed) ReportProgress(source_.progress, kProgressReading, y, height_);
  }
  return true;
}

bool BmpReader::FillRows(RowFeed& feed) { return Fill(&feed); }

bool BmpReader::Read() {
  ImageBuffer* image = source_.target;
  if (!Prepare() || !Fill(nullptr)) {
    if (image) image->Clear();
    return Reset(), false;
  }
  Reset();
  return true;
}

void BmpReader::Reset() {
  source_.Close();
  pixelOffset_ = 0;
  width_ = height_ = 0;
  bottomUp_ = true;
  rowBytes_ = 0;
  row_.clear();
}

}  // namespace runtime::imageconv
