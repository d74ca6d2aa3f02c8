#include "platform/gdi/raster/pixel_plane.h"

#include <cstring>

namespace platform::gdi {

namespace {

void LoadBgrx(const PixelPlane& plane, int32_t x, int32_t y, int32_t n, uint32_t* out) {
  std::memcpy(out, plane.Row(y) + static_cast<size_t>(x) * 4, static_cast<size_t>(n) * 4);
}

void StoreBgrx(const PixelPlane& plane, int32_t x, int32_t y, int32_t n, const uint32_t* in) {
  auto* row = reinterpret_cast<uint32_t*>(plane.Row(y)) + x;
  // The unused byte stays 0 whatever the operation did to it.
  for (int32_t i = 0; i < n; ++i) row[i] = in[i] & 0x00FFFFFFu;
}

void LoadMono(const PixelPlane& plane, int32_t x, int32_t y, int32_t n, uint32_t* out) {
  const uint8_t* row = plane.Row(y);
  for (int32_t i = 0; i < n; ++i) {
    const int32_t px = x + i;
    out[i] = (row[px >> 3] >> (7 - (px & 7)) & 1u) ? ~0u : 0u;
  }
}

void StoreMono(const PixelPlane& plane, int32_t x, int32_t y, int32_t n, const uint32_t* in) {
  uint8_t* row = plane.Row(y);
  for (int32_t i = 0; i < n; ++i) {
    const int32_t px = x + i;
    const uint8_t bit = static_cast<uint8_t>(0x80u >> (px & 7));
    if (in[i] & 1u)
      row[px >> 3] |= bit;
    else
      row[px >> 3] &= static_cast<uint8_t>(~bit);
  }
}

void LoadBgr(const PixelPlane& plane, int32_t x, int32_t y, int32_t n, uint32_t* out) {
  const uint8_t* p = plane.Row(y) + static_cast<size_t>(x) * 3;
  for (int32_t i = 0; i < n; ++i, p += 3) out[i] = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
}

constexpr FormatKernels kKernels[] = {
    {LoadBgrx, StoreBgrx},  // PixelFormat::Bgrx32
    {LoadMono, StoreMono},  // PixelFormat::Mono1
    {LoadBgr, nullptr},     // PixelFormat::Bgr24: only ever a source
};

}  // namespace

const FormatKernels& KernelsFor(PixelFormat format) { return kKernels[static_cast<size_t>(format)]; }

}  // namespace platform::gdi
