// Small owners for the handles the drawing tests make, and direct access to
// the pixels of a DIB section selected into a memory DC.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/gdi.h"

namespace gdi_test {

using namespace platform;

// A w x h 32-bit top-down DIB section in its own memory DC.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = 0) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, 0, 0);
    pixels_ = static_cast<uint32_t*>(bits);
    dc_ = CreateCompatibleDC(0);
    old_ = SelectObject(dc_, bitmap_);
    Fill(fill);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  bool ok() const { return dc_ && bitmap_ && pixels_; }
  COLORREF At(int x, int y) const { return PixelToColor(pixels_[y * width_ + x]); }
  void Set(int x, int y, COLORREF c) { pixels_[y * width_ + x] = ColorToPixel(c); }
  void Fill(COLORREF c) {
    for (int i = 0; i < width_ * height_; ++i) pixels_[i] = ColorToPixel(c);
  }
  std::vector<COLORREF> Row(int y) const {
    std::vector<COLORREF> row;
    for (int x = 0; x < width_; ++x) row.push_back(At(x, y));
    return row;
  }

 private:
  int width_;
  int height_;
  HBITMAP bitmap_ = 0;
  HDC dc_ = 0;
  HGDIOBJ old_ = 0;
  uint32_t* pixels_ = nullptr;
};

// A monochrome bitmap in its own memory DC; rows given as 16-bit padded bytes.
class MonoCanvas {
 public:
  MonoCanvas(int width, int height, const std::vector<uint8_t>& rows = {}) : width_(width), height_(height) {
    bitmap_ = CreateBitmap(width, height, 1, 1, rows.empty() ? nullptr : rows.data());
    dc_ = CreateCompatibleDC(0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~MonoCanvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  MonoCanvas(const MonoCanvas&) = delete;
  MonoCanvas& operator=(const MonoCanvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  // 0 or 1 per pixel, read back through a 32-bit DIB (1 reads as white).
  int Bit(int x, int y) const {
    std::vector<uint32_t> pixels(static_cast<size_t>(width_) * height_);
    BITMAPINFO info{};
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biBitCount = 32;
    GetDIBits(dc_, bitmap_, 0, height_, pixels.data(), &info, DIB_RGB_COLORS);
    return (pixels[y * width_ + x] & 0xFFFFFF) == 0xFFFFFF ? 1 : 0;
  }

 private:
  int width_;
  int height_;
  HBITMAP bitmap_ = 0;
  HDC dc_ = 0;
  HGDIOBJ old_ = 0;
};

// Deletes a drawing object at scope exit.
class Owned {
 public:
  explicit Owned(HGDIOBJ object) : object_(object) {}
  ~Owned() { DeleteObject(object_); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  operator HGDIOBJ() const { return object_; }

 private:
  HGDIOBJ object_;
};

}  // namespace gdi_test
