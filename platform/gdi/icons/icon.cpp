// Icons from icon-file image data, and drawing them.
#include "platform/gdi/icons/icon.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <span>

#include "platform/gdi/blit_engine.h"
#include "platform/gdi/dib_format.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icons/icon_image.h"
#include "platform/gdi/icons/icon_png.h"
#include "platform/gdi/raster/checked_size.h"

namespace platform {

using namespace gdi;

namespace {

std::shared_ptr<IconObject> FromPng(std::span<const uint8_t> data) {
  auto png = DecodePng(data);
  if (!png) return nullptr;
  auto icon = std::make_shared<IconObject>();
  icon->width = png->width;
  icon->height = png->height;
  icon->hasAlpha = true;
  icon->colour = std::move(png->pixels);
  icon->mask.assign(icon->colour.size(), 0);
  return icon;
}

// A DIB whose height counts the colour rows and the AND mask rows together.
std::shared_ptr<IconObject> FromDib(std::span<const uint8_t> data) {
  if (data.size() < sizeof(BITMAPINFOHEADER)) return nullptr;
  BITMAPINFOHEADER header;
  std::memcpy(&header, data.data(), sizeof header);
  if (header.biSize < sizeof header || header.biSize > data.size()) return nullptr;
  // Both halves are stored bottom-up; an odd or negative height is no icon.
  if (header.biHeight <= 0 || header.biHeight % 2 != 0) return nullptr;
  BITMAPINFOHEADER colourHeader = header;
  colourHeader.biHeight = header.biHeight / 2;
  const auto format = ReadDibFormat(colourHeader, data.subspan(header.biSize));
  if (!format) return nullptr;
  const size_t tableBytes = ColourTableBytes(colourHeader);
  const size_t colourAt = header.biSize + tableBytes;
  const auto maskStride = RowBytes(format->width, 1, 4);
  if (!maskStride) return nullptr;
  const auto maskBytes = ImageBytes(static_cast<int64_t>(*maskStride), format->height);
  if (!maskBytes) return nullptr;
  if (colourAt > data.size() || format->imageBytes > data.size() - colourAt) return nullptr;
  const size_t maskAt = colourAt + format->imageBytes;
  const bool maskPresent = *maskBytes <= data.size() - maskAt;

  auto icon = std::make_shared<IconObject>();
  icon->width = format->width;
  icon->height = format->height;
  const size_t count = static_cast<size_t>(icon->width) * icon->height;
  icon->colour.resize(count);
  icon->mask.assign(count, 0);
  for (int32_t y = 0; y < icon->height; ++y) {
    const int32_t stored = format->StoredRowOf(y);
    ReadDibRow(*format, data.data() + colourAt + static_cast<size_t>(stored) * format->stride,
               icon->colour.data() + static_cast<size_t>(y) * icon->width, format->bits == 32);
  }
  if (format->bits == 32)
    icon->hasAlpha = std::any_of(icon->colour.begin(), icon->colour.end(), [](uint32_t p) { return p >> 24 != 0; });
  // Only an icon with alpha may do without its mask.
  if (!maskPresent && !icon->hasAlpha) return nullptr;
  if (maskPresent) {
    for (int32_t y = 0; y < icon->height; ++y) {
      const uint8_t* row = data.data() + maskAt + static_cast<size_t>(format->StoredRowOf(y)) * *maskStride;
      uint8_t* out = icon->mask.data() + static_cast<size_t>(y) * icon->width;
      for (int32_t x = 0; x < icon->width; ++x) out[x] = row[x >> 3] >> (7 - (x & 7)) & 1u;
    }
  }
  return icon;
}

}  // namespace

std::shared_ptr<IconObject> gdi::IconFromImage(std::span<const uint8_t> data) {
  return LooksLikePng(data) ? FromPng(data) : FromDib(data);
}

namespace {

std::shared_ptr<IconObject> Resized(const IconObject& from, int32_t width, int32_t height) {
  if (!PixelBytes(width, height, 4)) return nullptr;
  auto icon = std::make_shared<IconObject>();
  icon->width = width;
  icon->height = height;
  icon->hasAlpha = from.hasAlpha;
  icon->isIcon = from.isIcon;
  icon->hotspot = POINT{static_cast<LONG>(int64_t{from.hotspot.x} * width / from.width),
                        static_cast<LONG>(int64_t{from.hotspot.y} * height / from.height)};
  icon->colour.resize(static_cast<size_t>(width) * height);
  icon->mask.resize(icon->colour.size());
  for (int32_t y = 0; y < height; ++y) {
    const int64_t sy = (2 * int64_t{y} + 1) * from.height / (2 * int64_t{height});
    for (int32_t x = 0; x < width; ++x) {
      const int64_t sx = (2 * int64_t{x} + 1) * from.width / (2 * int64_t{width});
      const size_t s = static_cast<size_t>(sy * from.width + sx), d = static_cast<size_t>(y) * width + x;
      icon->colour[d] = from.colour[s];
      icon->mask[d] = from.mask[s];
    }
  }
  return icon;
}

}  // namespace

HICON CreateIconFromResourceEx(const uint8_t* bits, uint32_t size, BOOL isIcon, uint32_t version, int cx, int cy,
                               uint32_t) {
  if (!bits || size == 0) return 0;
  if (version != 0x00030000 && version != 0x00020000) return 0;
  if (cx < 0 || cy < 0) return 0;
  std::span<const uint8_t> data(bits, size);
  POINT hotspot;
  if (!isIcon) {
    if (data.size() < 4) return 0;
    hotspot = POINT{data[0] | data[1] << 8, data[2] | data[3] << 8};
    data = data.subspan(4);
  }
  std::shared_ptr<IconObject> icon = IconFromImage(data);
  if (!icon) return 0;
  icon->isIcon = isIcon != 0;
  icon->hotspot = POINT{std::min(hotspot.x, icon->width - 1), std::min(hotspot.y, icon->height - 1)};
  const int32_t width = cx ? cx : icon->width, height = cy ? cy : icon->height;
  if (width != icon->width || height != icon->height) {
    icon = Resized(*icon, width, height);
    if (!icon) return 0;
  }
  return Handles().Add(ObjectKind::Icon, icon);
}

HICON CreateIconFromResource(const uint8_t* bits, uint32_t size, BOOL isIcon, uint32_t version) {
  return CreateIconFromResourceEx(bits, size, isIcon, version, 0, 0, 0);
}

BOOL DestroyIcon(HICON handle) {
  auto icon = Lookup<IconObject>(handle, ObjectKind::Icon);
  if (!icon) return FALSE;
  if (icon->shared) return TRUE;  // a system cursor outlives every user
  return Handles().Remove(handle, ObjectKind::Icon) ? TRUE : FALSE;
}

BOOL GetIconSize(HICON handle, SIZE* size) {
  auto icon = Lookup<IconObject>(handle, ObjectKind::Icon);
  if (!icon || !size) return FALSE;
  *size = SIZE{icon->width, icon->height};
  return TRUE;
}

BOOL GetIconInfo(HICON handle, ICONINFO* info) {
  auto icon = Lookup<IconObject>(handle, ObjectKind::Icon);
  if (!icon || !info) return FALSE;
  auto mask = BitmapObject::CreateMono(icon->width, icon->height);
  auto colour = BitmapObject::CreateColour(icon->width, icon->height);
  if (!mask || !colour) return FALSE;
  const PixelPlane maskPlane = mask->Plane();
  auto surface = colour->ColourSurface();
  std::vector<uint32_t> row(static_cast<size_t>(icon->width));
  for (int32_t y = 0; y < icon->height; ++y) {
    const size_t at = static_cast<size_t>(y) * icon->width;
    for (int32_t x = 0; x < icon->width; ++x) row[static_cast<size_t>(x)] = icon->mask[at + x] ? ~0u : 0u;
    KernelsFor(PixelFormat::Mono1).store(maskPlane, 0, y, icon->width, row.data());
    uint32_t* out = surface->Row32(y);
    for (int32_t x = 0; x < icon->width; ++x) out[x] = icon->colour[at + x] & 0x00FFFFFFu;
  }
  *info = ICONINFO{};
  info->fIcon = icon->isIcon ? TRUE : FALSE;
  info->xHotspot = static_cast<DWORD>(icon->isIcon ? icon->width / 2 : icon->hotspot.x);
  info->yHotspot = static_cast<DWORD>(icon->isIcon ? icon->height / 2 : icon->hotspot.y);
  info->hbmMask = Handles().Add(ObjectKind::Bitmap, mask);
  info->hbmColor = Handles().Add(ObjectKind::Bitmap, colour);
  return TRUE;
}

BOOL DrawIconEx(HDC dcHandle, int x, int y, HICON handle, int cx, int cy, UINT, HBRUSH, UINT flags) {
  auto dc = FindDc(dcHandle);
  auto icon = Lookup<IconObject>(handle, ObjectKind::Icon);
  constexpr int kLimit = 1 << 28;  // far beyond any surface; keeps the sums below in range
  if (!dc || !icon || cx < 0 || cy < 0 || cx > kLimit || cy > kLimit || x > kLimit || x < -kLimit || y > kLimit ||
      y < -kLimit)
    return FALSE;
  if ((flags & DI_NORMAL) == 0) return FALSE;
  const DrawTarget target = TargetOf(*dc);
  if (!target.plane.first) return TRUE;
  const int32_t width = cx ? cx : icon->width, height = cy ? cy : icon->height;
  const POINT a = ToDevice(dc->state, POINT{x, y});
  const POINT b =
      ToDevice(dc->state, POINT{static_cast<LONG>(std::clamp<int64_t>(int64_t{x} + width, INT32_MIN, INT32_MAX)),
                                static_cast<LONG>(std::clamp<int64_t>(int64_t{y} + height, INT32_MIN, INT32_MAX))});
  const RECT dest =
      Shifted(RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)}, target.origin);
  if (dest.IsEmpty()) return TRUE;
  const Region visible = Region::Combine(target.clip, Region(dest), Region::Op::And);
  const bool mono = target.plane.format == PixelFormat::Mono1;
  const FormatKernels& kernels = KernelsFor(target.plane.format);
  const int64_t dw = dest.Width(), dh = dest.Height();
  std::vector<uint32_t> row;
  SurfaceWrite write(target.surface, visible.Bounds());
  for (const RECT& r : visible.Rects()) {
    row.resize(static_cast<size_t>(r.Width()));
    for (LONG py = r.top; py < r.bottom; ++py) {
      const int64_t sy = (2 * (int64_t{py} - dest.top) + 1) * icon->height / (2 * dh);
      kernels.load(target.plane, r.left, py, r.Width(), row.data());
      for (LONG px = r.left; px < r.right; ++px) {
        const int64_t sx = (2 * (int64_t{px} - dest.left) + 1) * icon->width / (2 * dw);
        const size_t s = static_cast<size_t>(sy * icon->width + sx);
        const uint32_t c = icon->colour[s];
        uint32_t& d = row[static_cast<size_t>(px - r.left)];
        uint32_t here = mono ? (d ? 0x00FFFFFFu : 0u) : d;
        if (icon->hasAlpha && (flags & DI_IMAGE)) {
          // Straight alpha over the target, rounded.
          const uint32_t alpha = c >> 24;
          uint32_t out = 0;
          for (int shift = 0; shift < 24; shift += 8) {
            const uint32_t f = c >> shift & 0xFF, g = here >> shift & 0xFF;
            out |= ((f * alpha + g * (255 - alpha) + 127) / 255) << shift;
          }
          here = out;
        } else {
          if (flags & DI_MASK) here = icon->mask[s] ? here : 0u;
          if (flags & DI_IMAGE) here = (flags & DI_MASK) ? (here ^ (c & 0x00FFFFFFu)) : (c & 0x00FFFFFFu);
        }
        d = mono ? ColourInDomain(PixelToColor(here), Domain::Mono) : here;
      }
      kernels.store(target.plane, r.left, py, r.Width(), row.data());
    }
  }
  return TRUE;
}

}  // namespace platform
