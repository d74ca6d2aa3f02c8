// Owners for the GDI handles the picture units hold, so every path gives
// back what it took.
#pragma once

#include <utility>

#include "platform/gdi/gdi.h"

namespace runtime::picture {

// One bitmap, brush or other GDI object, deleted with its owner.
class OwnedGdiObject {
 public:
  OwnedGdiObject() = default;
  explicit OwnedGdiObject(platform::HGDIOBJ object) : object_(object) {}
  ~OwnedGdiObject() { Reset(); }
  OwnedGdiObject(OwnedGdiObject&& other) noexcept : object_(std::exchange(other.object_, 0)) {}
  OwnedGdiObject& operator=(OwnedGdiObject&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.object_, 0));
    return *this;
  }
  OwnedGdiObject(const OwnedGdiObject&) = delete;
  OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;

  platform::HGDIOBJ get() const { return object_; }
  explicit operator bool() const { return object_ != 0; }
  void Reset(platform::HGDIOBJ object = 0) {
    if (object_) platform::DeleteObject(object_);
    object_ = object;
  }

 private:
  platform::HGDIOBJ object_ = 0;
};

// A memory DC compatible with `like`, with `bitmap` selected until it ends.
class MemoryDc {
 public:
  MemoryDc(platform::HDC like, platform::HBITMAP bitmap) : dc_(platform::CreateCompatibleDC(like)) {
    if (dc_) previous_ = platform::SelectObject(dc_, bitmap);
  }
  ~MemoryDc() {
    if (!dc_) return;
    if (previous_) platform::SelectObject(dc_, previous_);
    platform::DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  // 0 when the DC could not be made or the bitmap not selected.
  platform::HDC get() const { return previous_ ? dc_ : 0; }

 private:
  platform::HDC dc_;
  platform::HGDIOBJ previous_ = 0;
};

}  // namespace runtime::picture
