// Owners for drawing handles, so every path gives back what it took: one
// drawing object (bitmap, brush, pen, font, region), and a memory DC with a
// bitmap selected into it for the owner's life.
#pragma once

#include <utility>

#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"

namespace platform {

class OwnedGdiObject {
 public:
  OwnedGdiObject() = default;
  explicit OwnedGdiObject(HGDIOBJ object) : object_(object) {}
  ~OwnedGdiObject() { Reset(); }
  OwnedGdiObject(OwnedGdiObject&& other) noexcept : object_(std::exchange(other.object_, 0)) {}
  OwnedGdiObject& operator=(OwnedGdiObject&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.object_, 0));
    return *this;
  }
  OwnedGdiObject(const OwnedGdiObject&) = delete;
  OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;

  HGDIOBJ get() const { return object_; }
  explicit operator bool() const { return object_ != 0; }
  void Reset(HGDIOBJ object = 0) {
    if (object_) DeleteObject(object_);
    object_ = object;
  }

 private:
  HGDIOBJ object_ = 0;
};

// A memory DC compatible with `like`, with `bitmap` selected until it ends.
class MemoryDc {
 public:
  MemoryDc(HDC like, HBITMAP bitmap) : dc_(CreateCompatibleDC(like)) {
    if (dc_) previous_ = SelectObject(dc_, bitmap);
  }
  ~MemoryDc() {
    if (!dc_) return;
    if (previous_) SelectObject(dc_, previous_);
    DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  // 0 when the DC could not be made or the bitmap not selected.
  HDC get() const { return previous_ ? dc_ : 0; }

 private:
  HDC dc_;
  HGDIOBJ previous_ = 0;
};

}  // namespace platform
