// Drawing a decoded picture onto a device context, and a bitmap as the bytes
// of a 24-bit BMP file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gdi/blit.h"
#include "platform/gdi/gdi_types.h"
#include "runtime/picture/picture.h"

namespace runtime::picture::drawing {

// Exists while one picture is drawn on one device context. A photograph
// (JPEG, BMP) is drawn straight from its colour rows; other kinds go through
// a bitmap made for the drawing.
struct PreparedPicture {
  platform::HDC target = 0;
  int32_t kind = 0;
  int32_t width = 0;
  int32_t height = 0;
  platform::HICON icon = 0;      // borrowed from the picture (icons and cursors)
  platform::ColourRows rows;     // borrowed from the picture (photographs)
  platform::HBITMAP bitmap = 0;  // owned (every other kind)
};

// 1 with `out` filled, 0 when the picture or the device context is missing.
int PreparePicture(platform::HDC target, const Picture* picture, platform::COLORREF background, PreparedPicture* out);
// (x, y) in device coordinates; a width or height of -1 is the picture's own.
// `operation` is a raster operation, or the negated colour to leave transparent.
void BlitPicture(const PreparedPicture& prepared, int x, int y, int width, int height, int64_t operation);
void ReleasePreparedPicture(PreparedPicture* prepared);

void RenderPicture(const Picture* picture, platform::HDC target, int x, int y, int width, int height,
                   int64_t operation);
void RenderPictureOnColour(const Picture* picture, platform::HDC target, int x, int y, int width, int height,
                           platform::COLORREF background);

// HALFTONE on displays deeper than 16 bits, otherwise COLORONCOLOR.
int ChooseStretchMode();

// Appends the BMP file to `out`: 1 on success, 0 on failure (out unchanged).
// A request of 0 keeps the bitmap's size; -p takes p percent (at least 10).
int BitmapToBmpBytes(platform::HBITMAP bitmap, int widthRequest, int heightRequest, std::vector<uint8_t>& out);

// The same conversion written straight into the buffer that `place` gives for
// the file's size (null from it fails the conversion). On failure the buffer
// may hold part of a file; the caller drops it.
using BmpPlace = std::function<uint8_t*(size_t fileBytes)>;
int BitmapToBmpFile(platform::HBITMAP bitmap, int widthRequest, int heightRequest, const BmpPlace& place);

}  // namespace runtime::picture::drawing
