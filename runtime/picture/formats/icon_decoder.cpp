// Icon and cursor pictures: the chosen directory image becomes an icon handle.
#include <algorithm>
#include <vector>

#include "platform/gdi/icons/icon.h"
#include "runtime/picture/formats/decoders.h"
#include "runtime/picture/formats/icon_directory.h"
#include "runtime/picture/formats/png_stream.h"
#include "runtime/picture/little_endian.h"

namespace runtime::picture::formats {

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

struct IconSize {
  int32_t width = 0;
  int32_t height = 0;
  bool sixteenBit = false;
};

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// The image's own header says its size: a DIB's height covers the colour
// rows and the mask, so it is halved; an embedded PNG carries it in IHDR.
std::optional<IconSize> ImageSize(std::span<const uint8_t> image) {
  IconSize size;
  if (image.size() >= 24 && std::equal(kPngSignature, kPngSignature + 8, image.begin())) {
    const uint32_t w = BigEndian32(&image[16]), h = BigEndian32(&image[20]);
    if (w == 0 || h == 0 || w > 65535 || h > 65535) return std::nullopt;
    size.width = static_cast<int32_t>(w);
    size.height = static_cast<int32_t>(h);
    return size;
  }
  if (image.size() < 16) return std::nullopt;
  size.width = I32At(&image[4]);
  size.height = I32At(&image[8]) / 2;
  size.sixteenBit = U16At(&image[14]) == 16;
  if (size.width <= 0 || size.height <= 0 || size.width > 65535 || size.height > 65535) return std::nullopt;
  return size;
}

class OwnedIcon {
 public:
  explicit OwnedIcon(platform::HICON icon) : icon_(icon) {}
  OwnedIcon(const OwnedIcon&) = delete;
  OwnedIcon& operator=(const OwnedIcon&) = delete;
  ~OwnedIcon() {
    if (icon_) platform::DestroyIcon(icon_);
  }
  platform::HICON Get() const { return icon_; }
  platform::HICON Release() {
    const platform::HICON icon = icon_;
    icon_ = 0;
    return icon;
  }

 private:
  platform::HICON icon_;
};

platform::HICON CreateIcon(std::span<const uint8_t> image, const IconSize& size) {
  constexpr uint32_t kVersion = 0x00030000;
  const auto bytes = static_cast<uint32_t>(image.size());
  platform::HICON icon =
      platform::CreateIconFromResourceEx(image.data(), bytes, platform::TRUE, kVersion, size.width, size.height, 0);
  if (!icon && !size.sixteenBit) icon = platform::CreateIconFromResource(image.data(), bytes, platform::TRUE, kVersion);
  return icon;
}

}  // namespace

PicturePtr DecodeIconOrCursor(ByteSource& source, const DecodeLimits& limits) {
  uint8_t headerBytes[kIconHeaderBytes];
  if (!source.ReadExact(headerBytes, sizeof headerBytes)) return nullptr;
  const auto header = ReadIconDirectoryHeader(headerBytes);
  if (!header) return nullptr;
  std::vector<uint8_t> entries(size_t{header->count} * kIconEntryBytes);
  if (!source.ReadExact(entries.data(), entries.size())) return nullptr;
  const auto range = ChooseIconImage(entries, source.Size());
  if (!range || range->size > limits.maxBlockBytes) return nullptr;

  std::vector<uint8_t> image(range->size);
  if (!source.Seek(range->offset) || !source.ReadExact(image.data(), image.size())) return nullptr;
  const auto size = ImageSize(image);
  // The image is held to the budget of its own bytes; an embedded PNG must
  // also not inflate past its rows.
  if (!size || !WithinBudget(size->width, size->height, limits.ForSource(image.size()))) return nullptr;
  if (std::equal(kPngSignature, kPngSignature + 8, image.begin()) && !PngInflatesWithinItsRows(image)) return nullptr;
  OwnedIcon icon(CreateIcon(image, *size));
  if (!icon.Get()) return nullptr;

  const PictureKind kind = header->type == 1 ? PictureKind::Icon : PictureKind::Cursor;
  PicturePtr picture = MakePicture(kind, size->width, size->height, PixelBlock{});
  if (!picture) return nullptr;
  picture->icon = icon.Release();
  return picture;
}

}  // namespace runtime::picture::formats
