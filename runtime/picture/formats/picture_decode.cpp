#include "runtime/picture/formats/picture_decode.h"

#include <array>
#include <cstring>
#include <new>
#include <span>

#include "runtime/picture/formats/decoders.h"
#include "runtime/picture/little_endian.h"

namespace runtime::picture::formats {

namespace {

using Sniff = bool (*)(const uint8_t* first);
using Decode = PicturePtr (*)(ByteSource& source, const DecodeLimits& limits);

struct PictureFormat {
  PictureKind kind;
  Sniff sniff;  // reads at most the first 6 bytes
  Decode decode;
};

bool IsBmp(const uint8_t* b) { return b[0] == 'B' && b[1] == 'M'; }
bool IsJpeg(const uint8_t* b) { return b[0] == 0xFF && b[1] == 0xD8; }
bool IsPng(const uint8_t* b) { return U32At(b) == 0x474E5089; }
bool IsIconDirectory(const uint8_t* b, uint16_t type) {
  return U16At(b) == 0 && U16At(b + 2) == type && U16At(b + 4) > 0;
}
bool IsIcon(const uint8_t* b) { return IsIconDirectory(b, 1); }
bool IsCursor(const uint8_t* b) { return IsIconDirectory(b, 2); }
bool IsGif(const uint8_t* b) { return std::memcmp(b, "GIF87a", 6) == 0 || std::memcmp(b, "GIF89a", 6) == 0; }
bool IsPcx8(const uint8_t* b) { return b[0] == 0x0A && b[1] <= 5 && b[2] == 1 && b[3] == 8; }
bool IsPcx1(const uint8_t* b) { return b[0] == 0x0A && b[1] == 3 && b[2] == 1 && b[3] == 1; }

// Detection walks this table in order; the first match wins.
constexpr std::array<PictureFormat, 8> kFormats{{
    {PictureKind::Bmp, IsBmp, DecodeBmp},
    {PictureKind::Jpeg, IsJpeg, DecodeJpeg},
    {PictureKind::Png, IsPng, DecodePng},
    {PictureKind::Icon, IsIcon, DecodeIconOrCursor},
    {PictureKind::Cursor, IsCursor, DecodeIconOrCursor},
    {PictureKind::Gif, IsGif, DecodeGif},
    {PictureKind::Pcx8, IsPcx8, DecodePcx},
    {PictureKind::Pcx1, IsPcx1, DecodePcx},
}};

const PictureFormat* FormatOf(const uint8_t* bytes, size_t count) {
  if (!bytes || count < 6) return nullptr;
  for (const PictureFormat& format : kFormats) {
    if (format.sniff(bytes)) return &format;
  }
  return nullptr;
}

}  // namespace

PictureKind DetectPictureKind(const uint8_t* bytes, size_t count) {
  const PictureFormat* format = FormatOf(bytes, count);
  return format ? format->kind : PictureKind::None;
}

PicturePtr DecodePictureFrom(ByteSource& source, const DecodeLimits& limits) {
  uint8_t first[8];
  if (!source.Seek(0) || !source.ReadExact(first, sizeof first) || !source.Seek(0)) return nullptr;
  const PictureFormat* format = FormatOf(first, sizeof first);
  if (!format) return nullptr;
  try {
    return format->decode(source, limits.ForSource(source.Size()));
  } catch (const std::bad_alloc&) {
    // Exhausted memory while decoding is one more way of having no picture.
    return nullptr;
  }
}

Picture* LoadPictureFile(const char* path) {
  auto file = FileSource::Open(path);
  if (!file) return nullptr;
  return DecodePictureFrom(*file, DecodeLimits{}).release();
}

}  // namespace runtime::picture::formats
