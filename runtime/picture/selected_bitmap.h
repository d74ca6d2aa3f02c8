// A memory DC with one bitmap selected in it, put back and deleted on every
// path out of the scope.
#pragma once

#include "platform/gdi/gdi.h"

namespace runtime::picture {

class SelectedBitmap {
 public:
  SelectedBitmap(platform::HDC like, platform::HBITMAP bitmap) : dc_(platform::CreateCompatibleDC(like)) {
    if (dc_) previous_ = platform::SelectObject(dc_, bitmap);
  }
  ~SelectedBitmap() {
    if (!dc_) return;
    if (previous_) platform::SelectObject(dc_, previous_);
    platform::DeleteDC(dc_);
  }
  SelectedBitmap(const SelectedBitmap&) = delete;
  SelectedBitmap& operator=(const SelectedBitmap&) = delete;
  // 0 when the DC could not be made or the bitmap not selected.
  platform::HDC dc() const { return previous_ ? dc_ : 0; }

 private:
  platform::HDC dc_;
  platform::HGDIOBJ previous_ = 0;
};

}  // namespace runtime::picture
