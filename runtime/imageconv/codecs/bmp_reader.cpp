#include "runtime/imageconv/codecs/bmp_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "runtime/imageconv/byte_input.h"
#include "runtime/imageconv/image_size.h"

namespace runtime::imageconv::codecs {
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

// A row of blue-green-red pixels as red-green-blue: each pixel's four bytes
// from its first, reversed, written over the next pixel's first byte
// (which its own turn rewrites). The last pixel goes byte by byte, so nothing
// past either row is read or written.
void BgrRowToRgb(const uint8_t* bgr, uint8_t* rgb, int32_t width) {
  if (width <= 0) return;
  const size_t last = static_cast<size_t>(width - 1) * 3;
  for (size_t at = 0; at < last; at += 3) {
    uint32_t pixel;
    std::memcpy(&pixel, bgr + at, 4);
    pixel = __builtin_bswap32(pixel) >> 8;  // little-endian: B G R x to R G B
    std::memcpy(rgb + at, &pixel, 4);
  }
  rgb[last] = bgr[last + 2];
  rgb[last + 1] = bgr[last + 1];
  rgb[last + 2] = bgr[last];
}

}  // namespace

bool BmpReader::Open(const char* path, ImageBuffer* target, ProgressCallback progress) {
  Reset();
  OpenFile file;
  if (!file.source.OpenStream(path, target, progress)) return false;
  FILE* in = file.source.stream.get();
  auto fileSize = StreamFileSize(in);
  std::array<uint8_t, kFileHeaderBytes> fileHeader{};
  if (!fileSize || !ReadExact(in, fileHeader.data(), fileHeader.size())) return false;
  ByteFields fileFields(fileHeader);
  const bool typeOk = (fileHeader[0] == 'B' && fileHeader[1] == 'M') || (fileHeader[0] == 'B' && fileHeader[1] == 'A');
  const uint32_t offBits = *fileFields.U32(10);
  if (!typeOk || offBits < kFileHeaderBytes + 4 || offBits > *fileSize) return false;

  // The info header (the palette after it is of no use to a 24-bit image).
  std::array<uint8_t, kLargestInfoHeader> headerBytes{};
  const size_t available = std::min<size_t>(offBits - kFileHeaderBytes, headerBytes.size());
  if (!ReadExact(in, headerBytes.data(), available)) return false;
  ByteFields header(std::span<const uint8_t>(headerBytes.data(), available));
  const uint32_t headerSize = *header.U32(0);
  if (headerSize > offBits - kFileHeaderBytes) return false;  // pixels inside the header

  // Both variants are first tested on the 32-bit fields at 4 and 8.
  auto wide = header.I32(4);
  auto high = header.I32(8);
  if (!wide || !high || *wide <= 0 || *high == 0) return false;

  uint32_t bitCount = 0;
  if (headerSize == kCoreHeaderBytes) {
    file.width = *header.U16(4);
    file.height = *header.U16(6);
    bitCount = *header.U16(10);
    file.bottomUp = true;
  } else {
    if (headerSize < kShortestInfoHeader) return false;
    const uint32_t compression = headerSize >= 20 ? *header.U32(16) : kRgb;
    if (compression > kBitfields || *high == INT32_MIN) return false;
    bitCount = *header.U16(14);
    if (compression == kRle8) bitCount = 8;
    if (compression == kRle4) bitCount = 4;
    file.width = *wide;
    file.bottomUp = *high >= 0;
    file.height = *high >= 0 ? *high : -*high;
  }
  if (bitCount != 24 || file.width <= 0 || file.height <= 0 || !CheckedImageBytes(file.width, file.height, 3)) {
    return false;
  }
  file.pixelOffset = offBits;
  file_ = std::move(file);
  return true;
}

bool BmpReader::Prepare() { return file_ && PrepareFile(*file_); }

bool BmpReader::PrepareFile(OpenFile& file) {
  if (!file.source.target) return false;
  FILE* in = file.source.stream.get();
  auto rowBytes = RowBytes(file.width);
  auto fileSize = StreamFileSize(in);
  // A file too short for its rows fails before any pixel memory is made.
  auto end = rowBytes ? CheckedSpan(*rowBytes, static_cast<uint64_t>(file.height), file.pixelOffset, UINT64_MAX / 2)
                      : std::nullopt;
  if (!end || !fileSize || *end > *fileSize) return false;
  file.rowBytes = *rowBytes;
  // Rows are read some at a time: a read per row of a 2160-row canvas is
  // thousands of system calls for 14 MB.
  constexpr uint64_t kReadBytes = 256 * 1024;
  file.rowsPerRead = static_cast<int32_t>(std::clamp<uint64_t>(kReadBytes / file.rowBytes, 1, std::max(file.height, 1)));
  file.rows.resize(static_cast<size_t>(file.rowBytes * file.rowsPerRead));
  return file.source.target->Create(file.width, file.height, 24, 0);
}

// Image rows top to bottom, each read from where it lies in the file, so
// that an encoder on another thread can take the first ones at once.
bool BmpReader::Fill(OpenFile& file, RowFeed* feed) {
  ImageBuffer& image = *file.source.target;
  const int descriptor = fileno(file.source.stream.get());
  const int32_t height = file.height;
  // Published in groups: waking the encoder for every row costs more than
  // the row.
  constexpr int32_t kRowsPerPublish = 32;
  for (int32_t first = 0; first < height; first += file.rowsPerRead) {
    // Image rows first .. first + count - 1 lie together in the file, in
    // reverse order when it is stored bottom-up.
    const int32_t count = std::min(file.rowsPerRead, height - first);
    const uint64_t firstFileRow = static_cast<uint64_t>(file.bottomUp ? height - first - count : first);
    if (!ReadExactAt(descriptor, file.rows.data(), static_cast<size_t>(file.rowBytes * count),
                     file.pixelOffset + firstFileRow * file.rowBytes)) {
      if (feed) feed->Fail();
      return false;
    }
    for (int32_t k = 0; k < count; ++k) {
      const int32_t y = first + k;
      const uint64_t inRead = static_cast<uint64_t>(file.bottomUp ? count - 1 - k : k);
      BgrRowToRgb(file.rows.data() + inRead * file.rowBytes, image.Row(y), file.width);
      if (feed && ((y + 1) % kRowsPerPublish == 0 || y + 1 == height)) feed->Publish(y + 1);
      if (!feed) ReportProgress(file.source.progress, kProgressReading, y, height);
    }
  }
  return true;
}

bool BmpReader::FillRows(RowFeed& feed) {
  // Only a prepared file has a target image and a row buffer.
  if (!file_ || file_->rows.empty()) {
    feed.Fail();
    return false;
  }
  return Fill(*file_, &feed);
}

bool BmpReader::Read() {
  std::optional<OpenFile> taken = TakeForRead();
  if (!taken) return false;
  if (!PrepareFile(*taken) || !Fill(*taken, nullptr)) return FailRead(*taken->source.target);
  return true;
}

}  // namespace runtime::imageconv::codecs
