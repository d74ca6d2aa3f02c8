// Conversions between device bitmaps and DIBs.
#include <algorithm>
#include <cstring>
#include <new>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit_engine.h"
#include "platform/gdi/dib_format.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/raster/checked_size.h"

namespace platform {

using namespace gdi;

namespace {

// Largest header we read before the colour table (the version 5 header).
constexpr DWORD kMaxHeaderSize = 124;

// The colour table of `info` sits biSize bytes after its start. The calls
// pass no buffer length, so the table is trusted to be as long as the header
// says, as their callers must ensure.
std::optional<DibFormat> FormatOf(const BITMAPINFO* info) {
  if (!info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || info->bmiHeader.biSize > kMaxHeaderSize)
    return std::nullopt;
  const auto* table = reinterpret_cast<const uint8_t*>(info) + info->bmiHeader.biSize;
  return ReadDibFormat(info->bmiHeader, std::span<const uint8_t>(table, ColourTableBytes(info->bmiHeader)));
}

// Stored DIB rows [first, first + count) from `bits` into `bitmap`.
int PutRows(BitmapObject& bitmap, const DibFormat& f, const uint8_t* bits, int32_t first, int32_t count) {
  const PixelPlane plane = bitmap.Plane();
  const FormatKernels& kernels = KernelsFor(plane.format);
  std::vector<uint32_t> row(static_cast<size_t>(f.width));
  const int32_t width = std::min(f.width, plane.width);
  int written = 0;
  for (int32_t s = first; s < first + count; ++s) {
    const int32_t y = f.StoredRowOf(s);  // the mapping is its own inverse
    if (y < 0 || y >= plane.height) continue;
    ReadDibRow(f, bits + static_cast<size_t>(s - first) * f.stride, row.data());
    if (plane.format == PixelFormat::Mono1)
      for (uint32_t& v : row) v = ColourInDomain(PixelToColor(v), Domain::Mono);
    kernels.store(plane, 0, y, width, row.data());
    ++written;
  }
  return written;
}

}  // namespace

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage) {
  if (!header || (dc != 0 && !FindDc(dc))) return 0;
  if (header->biSize < sizeof(BITMAPINFOHEADER) || header->biWidth <= 0 || header->biHeight == 0 ||
      header->biHeight == INT32_MIN)
    return 0;
  const int32_t height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
  auto bitmap = BitmapObject::CreateColour(header->biWidth, height);
  if (!bitmap) return 0;
  if (init & CBM_INIT) {
    if (!bits || usage != DIB_RGB_COLORS) return 0;
    const auto f = FormatOf(info);
    if (!f) return 0;
    PutRows(*bitmap, *f, static_cast<const uint8_t*>(bits), 0, f->height);
  }
  return Handles().Add(ObjectKind::Bitmap, bitmap);
}

int SetDIBits(HDC, HBITMAP handle, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
  auto bitmap = Lookup<BitmapObject>(handle, ObjectKind::Bitmap);
  if (!bitmap || !bits || usage != DIB_RGB_COLORS) return 0;
  const auto f = FormatOf(info);
  if (!f || start >= static_cast<UINT>(f->height)) return 0;
  const int32_t count = static_cast<int32_t>(std::min<UINT>(lines, static_cast<UINT>(f->height) - start));
  return PutRows(*bitmap, *f, static_cast<const uint8_t*>(bits), static_cast<int32_t>(start), count);
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
  if (bits) *bits = nullptr;
  if (!info || section != 0 || usage != DIB_RGB_COLORS || (dc != 0 && !FindDc(dc))) return 0;
  const auto f = FormatOf(info);
  // The pixels are drawn on directly, so only the device's own layout fits.
  if (!f || f->bits != 32) return 0;
  std::shared_ptr<uint32_t[]> block(new (std::nothrow) uint32_t[f->imageBytes / 4]());
  if (!block) return 0;
  auto* base = reinterpret_cast<uint8_t*>(block.get());
  const ptrdiff_t stride = static_cast<ptrdiff_t>(f->stride);
  uint8_t* top = f->topDown ? base : base + (f->height - 1) * stride;
  auto surface = Surface::Wrap(top, f->width, f->height, f->topDown ? stride : -stride, block);
  auto bitmap = BitmapObject::OverSurface(std::move(surface));
  if (!bitmap) return 0;
  bitmap->dibHeader = info->bmiHeader;
  bitmap->dibHeader->biSizeImage = static_cast<DWORD>(f->imageBytes);
  bitmap->dibBits = base;
  const HBITMAP handle = Handles().Add(ObjectKind::Bitmap, bitmap);
  if (handle && bits) *bits = base;
  return handle;
}

int GetDIBits(HDC dc, HBITMAP handle, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
  auto bitmap = Lookup<BitmapObject>(handle, ObjectKind::Bitmap);
  if (!bitmap || !info || usage != DIB_RGB_COLORS || (dc != 0 && !FindDc(dc))) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > kMaxHeaderSize) return 0;
  const bool mono = bitmap->Format() == PixelFormat::Mono1;

  if (!bits && h.biBitCount == 0) {
    // Describe the bitmap itself.
    h.biWidth = bitmap->Width();
    h.biHeight = bitmap->Height();
    h.biPlanes = 1;
    h.biBitCount = mono ? 1 : 32;
    h.biCompression = BI_RGB;
    const auto stride = RowBytes(h.biWidth, h.biBitCount, 4);
    const auto size = stride ? ImageBytes(static_cast<int64_t>(*stride), h.biHeight) : std::nullopt;
    h.biSizeImage = size ? static_cast<DWORD>(*size) : 0;
    return bitmap->Height();
  }

  if (h.biBitCount != 1 && h.biBitCount != 24 && h.biBitCount != 32) return 0;
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return 0;
  if (h.biCompression != BI_RGB || h.biPlanes != 1) return 0;
  const int32_t height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  const auto stride = RowBytes(h.biWidth, h.biBitCount, 4);
  if (!stride) return 0;
  const auto size = ImageBytes(static_cast<int64_t>(*stride), height);
  if (!size) return 0;
  h.biSizeImage = static_cast<DWORD>(*size);
  h.biClrUsed = 0;
  if (h.biBitCount == 1) {
    // Black and white, the colours the rows' bits stand for.
    auto* table = reinterpret_cast<RGBQUAD*>(reinterpret_cast<uint8_t*>(info) + h.biSize);
    table[0] = RGBQUAD{0, 0, 0, 0};
    table[1] = RGBQUAD{255, 255, 255, 0};
  }
  if (!bits) return height;
  if (start >= static_cast<UINT>(height)) return 0;
  const int32_t count = static_cast<int32_t>(std::min<UINT>(lines, static_cast<UINT>(height) - start));

  const PixelPlane plane = bitmap->Plane();
  const FormatKernels& kernels = KernelsFor(plane.format);
  const bool topDown = h.biHeight < 0;
  std::vector<uint32_t> row(static_cast<size_t>(h.biWidth));
  auto* out = static_cast<uint8_t*>(bits);
  const size_t rowPixelBytes = (static_cast<size_t>(h.biWidth) * h.biBitCount + 7) / 8;
  for (int32_t s = static_cast<int32_t>(start); s < static_cast<int32_t>(start) + count; ++s) {
    const int32_t y = topDown ? s : height - 1 - s;
    std::fill(row.begin(), row.end(), 0u);
    if (y < plane.height) {
      const int32_t n = std::min(h.biWidth, plane.width);
      kernels.load(plane, 0, y, n, row.data());
      for (int32_t x = 0; x < n; ++x) {
        uint32_t& v = row[static_cast<size_t>(x)];
        if (mono)
          v = v ? 0x00FFFFFFu : 0u;
        else if (h.biBitCount == 1)
          v = ColourInDomain(PixelToColor(v), Domain::Mono) ? 0x00FFFFFFu : 0u;  // nearer of black and white
      }
    }
    uint8_t* line = out + static_cast<size_t>(s - static_cast<int32_t>(start)) * *stride;
    // The row's pixels are all written; only the padding to the stride is
    // left to zero (a 2160 x 2160 canvas is 14 MB: not cleared first).
    WriteDibRow(h.biBitCount, row.data(), h.biWidth, line);
    std::memset(line + rowPixelBytes, 0, *stride - rowPixelBytes);
  }
  return count;
}

}  // namespace platform
