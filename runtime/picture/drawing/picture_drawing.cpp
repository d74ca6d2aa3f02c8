#include "runtime/picture/drawing/picture_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/gdi/icons/icon.h"
#include "platform/gdi/owners.h"

namespace runtime::picture::drawing {
namespace {

using namespace platform;

BITMAPINFOHEADER DibHeader(int width, int height, int bits) {
  BITMAPINFOHEADER h;
  h.biWidth = width;
  h.biHeight = height;
  h.biBitCount = static_cast<WORD>(bits);
  return h;
}

HBITMAP FromDib(HDC target, const BITMAPINFOHEADER& header, const void* bits, const BITMAPINFO* info) {
  return CreateDIBitmap(target, &header, CBM_INIT, bits, info, DIB_RGB_COLORS);
}

// Kind 8: BGRA rows blended over the background colour.
HBITMAP PreparePng(HDC target, const Picture& picture, COLORREF background) {
  const size_t bytes = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 4;
  if (bytes > static_cast<size_t>(picture.pixelByteCount)) return 0;
  std::vector<uint8_t> blended(picture.pixels, picture.pixels + bytes);
  const float background3[3] = {static_cast<float>(GetBValue(background)), static_cast<float>(GetGValue(background)),
                                static_cast<float>(GetRValue(background))};
  const float inv255 = 0.003921569f;
  for (size_t i = 0; i < bytes; i += 4) {
    uint8_t alpha = blended[i + 3];
    if (alpha == 255) continue;
    float a = alpha * inv255;
    for (int c = 0; c < 3; ++c) {
      float v = a * blended[i + c] + background3[c] * (1.0f - a);
      blended[i + c] = static_cast<uint8_t>(std::clamp(std::trunc(v), 0.0f, 255.0f));
    }
  }
  BITMAPINFO info;
  info.bmiHeader = DibHeader(picture.width, -picture.height, 32);
  return FromDib(target, info.bmiHeader, blended.data(), &info);
}

// Kinds 5 and 6: a packed 8-bit DIB (header, 256 colours, rows).
HBITMAP PreparePackedDib(HDC target, const Picture& picture) {
  constexpr size_t kTable = 40 + 1024;
  if (static_cast<size_t>(picture.pixelByteCount) < kTable) return 0;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(picture.pixels);
  BITMAPINFOHEADER header;
  std::memcpy(&header, picture.pixels, sizeof header);
  const int64_t rows = std::llabs(static_cast<int64_t>(header.biHeight));
  const int64_t stride = (static_cast<int64_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
  if (header.biWidth <= 0 || stride <= 0 || kTable + stride * rows > static_cast<uint64_t>(picture.pixelByteCount))
    return 0;
  HBITMAP dib = FromDib(target, header, picture.pixels + kTable, info);
  if (!dib || picture.kind != static_cast<int32_t>(PictureKind::Gif)) return dib;
  // A GIF's first image may be smaller than its screen: copy it into a bitmap
  // of the screen's size.
  HBITMAP screen = CreateCompatibleBitmap(target, picture.width, picture.height);
  {
    MemoryDc from(target, dib), to(target, screen);
    if (screen && from.get() && to.get())
      BitBlt(to.get(), 0, 0, header.biWidth, static_cast<int>(rows), from.get(), 0, 0, SRCCOPY);
  }
  DeleteObject(dib);
  return screen;
}

// Copies the prepared picture's own pixels, unstretched or stretched, with
// `operation` onto `target`; for a monochrome target pixels of `key` become 1.
void CopyPrepared(const PreparedPicture& prepared, HDC target, int x, int y, int width, int height, DWORD operation,
                  COLORREF key) {
  if (prepared.rows.top) {
    StretchColourRows(target, x, y, width, height, prepared.rows, 0, 0, prepared.width, prepared.height, operation,
                      key);
    return;
  }
  MemoryDc source(target, prepared.bitmap);
  if (!source.get()) return;
  SetBkColor(source.get(), key);
  StretchBlt(target, x, y, width, height, source.get(), 0, 0, prepared.width, prepared.height, operation);
}

// A monochrome mask of the picture: pixels of colour `key` become 1.
HBITMAP MakeMask(const PreparedPicture& prepared, COLORREF key) {
  HBITMAP mask = CreateBitmap(prepared.width, prepared.height, 1, 1, nullptr);
  if (!mask) return 0;
  MemoryDc to(prepared.target, mask);
  if (!to.get()) {
    DeleteObject(mask);
    return 0;
  }
  CopyPrepared(prepared, to.get(), 0, 0, prepared.width, prepared.height, SRCCOPY, key);
  return mask;
}

}  // namespace

int ChooseStretchMode() {
  DEVMODEA mode{};
  if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmBitsPerPel > 16) return HALFTONE;
  return COLORONCOLOR;
}

int PreparePicture(HDC target, const Picture* picture, COLORREF background, PreparedPicture* out) {
  if (!out) return 0;
  *out = PreparedPicture{};
  if (!picture || picture->kind == 0 || !target) return 0;
  out->target = target;
  out->kind = picture->kind;
  out->width = picture->width;
  out->height = picture->height;
  switch (static_cast<PictureKind>(picture->kind)) {
    case PictureKind::Icon:
    case PictureKind::Cursor: out->icon = picture->icon; return out->icon ? 1 : 0;
    case PictureKind::Gif:
    case PictureKind::Pcx8: out->bitmap = PreparePackedDib(target, *picture); break;
    case PictureKind::Pcx1: out->bitmap = CreateBitmap(picture->width, picture->height, 1, 1, picture->pixels); break;
    case PictureKind::Png: out->bitmap = PreparePng(target, *picture, background); break;
    case PictureKind::Jpeg:
    case PictureKind::Bmp: {
      const auto rows = PhotographRows(*picture);
      if (!rows) return 0;
      out->rows = *rows;
      return 1;
    }
    default: break;
  }
  if (!picture->pixels || !out->bitmap) {
    ReleasePreparedPicture(out);
    return 0;
  }
  return 1;
}

void BlitPicture(const PreparedPicture& prepared, int x, int y, int width, int height, int64_t operation) {
  HDC target = prepared.target;
  if (!target) return;
  SetStretchBltMode(target, ChooseStretchMode());
  if (width == -1) width = prepared.width;
  if (height == -1) height = prepared.height;
  if (prepared.icon) {
    DrawIconEx(target, x, y, prepared.icon, width, height, 0, 0, DI_NORMAL);
    return;
  }
  if (!prepared.bitmap && !prepared.rows.top) return;
  if (operation >= 0) {
    CopyPrepared(prepared, target, x, y, width, height, static_cast<DWORD>(operation), RGB(255, 255, 255));
    return;
  }
  // The mask is made first: a bitmap can be selected into one DC at a time.
  HBITMAP mask = MakeMask(prepared, static_cast<COLORREF>(-operation));
  if (!mask) return;
  {
    MemoryDc maskDc(target, mask);
    if (maskDc.get()) {
      COLORREF oldBk = SetBkColor(target, RGB(255, 255, 255));
      COLORREF oldText = SetTextColor(target, RGB(0, 0, 0));
      CopyPrepared(prepared, target, x, y, width, height, SRCINVERT, RGB(255, 255, 255));
      StretchBlt(target, x, y, width, height, maskDc.get(), 0, 0, prepared.width, prepared.height, SRCAND);
      CopyPrepared(prepared, target, x, y, width, height, SRCINVERT, RGB(255, 255, 255));
      SetBkColor(target, oldBk);
      SetTextColor(target, oldText);
    }
  }
  DeleteObject(mask);
}

void ReleasePreparedPicture(PreparedPicture* prepared) {
  if (!prepared) return;
  if (prepared->bitmap) DeleteObject(prepared->bitmap);
  *prepared = PreparedPicture{};
}

void RenderPicture(const Picture* picture, HDC target, int x, int y, int width, int height, int64_t operation) {
  PreparedPicture prepared;
  if (!PreparePicture(target, picture, RGB(255, 255, 255), &prepared)) return;
  BlitPicture(prepared, x, y, width, height, operation);
  ReleasePreparedPicture(&prepared);
}

void RenderPictureOnColour(const Picture* picture, HDC target, int x, int y, int width, int height,
                           COLORREF background) {
  PreparedPicture prepared;
  if (!PreparePicture(target, picture, background, &prepared)) return;
  BlitPicture(prepared, x, y, width, height, SRCCOPY);
  ReleasePreparedPicture(&prepared);
}

int BitmapToBmpFile(HBITMAP bitmap, int widthRequest, int heightRequest, const BmpPlace& place) {
  BITMAP info{};
  if (!GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return 0;
  auto resolve = [](int request, int64_t own) -> int64_t {
    if (request == 0) return own;
    if (request < 0) return own * std::max<int64_t>(-static_cast<int64_t>(request), 10) / 100;
    return request;
  };
  const int64_t width = resolve(widthRequest, info.bmWidth);
  const int64_t height = resolve(heightRequest, info.bmHeight);
  if (width <= 0 || height <= 0) return 0;
  const int64_t stride = (24 * width + 31) / 32 * 4;
  // The file's size field is 32 bits; a larger picture cannot be a BMP.
  constexpr int64_t kLargestImage = int64_t{1} << 30;
  if (width > kLargestImage || height > kLargestImage || stride * height > kLargestImage) return 0;

  HBITMAP source = bitmap;
  HBITMAP scaled = 0;
  if (width != info.bmWidth || height != info.bmHeight) {
    scaled = CreateCompatibleBitmap(0, static_cast<int>(width), static_cast<int>(height));
    if (!scaled) return 0;
    MemoryDc from(0, bitmap), to(0, scaled);
    if (!from.get() || !to.get()) {
      DeleteObject(scaled);
      return 0;
    }
    SetStretchBltMode(to.get(), ChooseStretchMode());
    StretchBlt(to.get(), 0, 0, static_cast<int>(width), static_cast<int>(height), from.get(), 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    source = scaled;
  }
  struct ScaledCleanup {
    HBITMAP b;
    ~ScaledCleanup() {
      if (b) DeleteObject(b);
    }
  } cleanup{scaled};

  HDC screen = CreateCompatibleDC(0);
  struct DcCleanup {
    HDC dc;
    ~DcCleanup() {
      if (dc) DeleteDC(dc);
    }
  } dcCleanup{screen};
  BITMAPINFO dib;
  dib.bmiHeader = DibHeader(static_cast<int>(width), static_cast<int>(height), 24);
  if (!GetDIBits(screen, source, 0, static_cast<UINT>(height), nullptr, &dib, DIB_RGB_COLORS)) return 0;
  if (dib.bmiHeader.biSizeImage == 0) dib.bmiHeader.biSizeImage = static_cast<DWORD>(stride * height);
  const size_t imageSize = dib.bmiHeader.biSizeImage;
  const size_t offset = 14 + 40;  // a 24-bit DIB has no colour table
  uint8_t* file = place(offset + imageSize);
  if (!file) return 0;
  if (GetDIBits(screen, source, 0, static_cast<UINT>(height), file + offset, &dib, DIB_RGB_COLORS) == 0) return 0;
  BITMAPFILEHEADER fileHeader;
  fileHeader.bfSize = static_cast<DWORD>(offset + imageSize);
  fileHeader.bfOffBits = static_cast<DWORD>(offset);
  std::memcpy(file, &fileHeader, 14);
  std::memcpy(file + 14, &dib.bmiHeader, 40);
  return 1;
}

int BitmapToBmpBytes(HBITMAP bitmap, int widthRequest, int heightRequest, std::vector<uint8_t>& out) {
  const size_t before = out.size();
  const int done = BitmapToBmpFile(bitmap, widthRequest, heightRequest, [&](size_t bytes) {
    out.resize(before + bytes);
    return out.data() + before;
  });
  if (!done) out.resize(before);
  return done;
}

}  // namespace runtime::picture::drawing
