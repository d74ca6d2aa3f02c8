#include "runtime/picture/table/shared_decodes.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace runtime::picture::table {

namespace {

// Icons are handles that each picture destroys on its own; small pictures
// decode faster than their bytes compare.
constexpr size_t kSmallestShared = 64 * 1024;

bool Shareable(const Picture& picture) {
  return picture.pixels && !picture.icon && static_cast<size_t>(picture.pixelByteCount) >= kSmallestShared;
}

}  // namespace

void SharedDecodes::DropExpired() {
  std::erase_if(entries_, [](const Entry& e) { return e.pixels.expired(); });
}

PicturePtr SharedDecodes::FindLive(std::span<const uint8_t> bytes) {
  DropExpired();
  for (const Entry& e : entries_) {
    if (e.bytes.size() != bytes.size()) continue;
    if (!SameSharedBytes(e.bytes, bytes) && std::memcmp(e.bytes.data(), bytes.data(), bytes.size()) != 0) continue;
    std::shared_ptr<const void> pixels = e.pixels.lock();
    if (!pixels) continue;
    auto* picture = new (std::nothrow) Picture;
    if (!picture) return nullptr;
    picture->kind = e.shape.kind;
    picture->width = e.shape.width;
    picture->height = e.shape.height;
    picture->pixels = e.shape.pixels;
    picture->pixelByteCount = e.shape.pixelByteCount;
    picture->pixelOwner = std::move(pixels);
    return PicturePtr(picture);
  }
  return nullptr;
}

PicturePtr SharedDecodes::Decode(std::span<const uint8_t> bytes, Decoder decode) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (PicturePtr shared = FindLive(bytes)) return shared;
  }
  PicturePtr picture = decode(bytes);
  if (!picture || !picture->pixelOwner || !Shareable(*picture)) return picture;
  try {
    Entry entry{ByteRun(bytes), {}, {}};
    entry.pixels = picture->pixelOwner;
    entry.shape.kind = picture->kind;
    entry.shape.width = picture->width;
    entry.shape.height = picture->height;
    entry.shape.pixels = picture->pixels;
    entry.shape.pixelByteCount = picture->pixelByteCount;
    std::lock_guard<std::mutex> hold(lock_);
    entries_.push_back(std::move(entry));
  } catch (const std::bad_alloc&) {
    // Not shared, still a picture.
  }
  return picture;
}

size_t SharedDecodes::LiveCount() {
  std::lock_guard<std::mutex> hold(lock_);
  DropExpired();
  return entries_.size();
}

}  // namespace runtime::picture::table
