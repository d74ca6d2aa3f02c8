#include "platform/gdi/palette.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/stock_objects.h"

namespace platform {

namespace gdi {

class PaletteObject : public HandleObject {
 public:
  std::vector<PALETTEENTRY> entries;
  bool stock = false;
};

Handle MakeStockPalette() {
  // The twenty static colours of a desktop palette.
  static constexpr uint32_t kColours[20] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000,
                                            0xC0C0C0, 0xC0DCC0, 0xF0CAA6, 0xF0FBFF, 0xA4A0A0, 0x808080, 0x0000FF,
                                            0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
  auto palette = std::make_shared<PaletteObject>();
  for (uint32_t c : kColours) palette->entries.push_back(PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0});
  palette->stock = true;
  return Handles().Add(ObjectKind::Palette, palette);
}

bool IsStockPalette(Handle handle) {
  auto palette = Lookup<PaletteObject>(handle, ObjectKind::Palette);
  return palette && palette->stock;
}

}  // namespace gdi

HPALETTE CreatePalette(const LOGPALETTE* logical) {
  if (!logical || logical->palVersion != 0x300 || logical->palNumEntries == 0) return 0;
  auto palette = std::make_shared<gdi::PaletteObject>();
  palette->entries.assign(logical->palPalEntry, logical->palPalEntry + logical->palNumEntries);
  return gdi::Handles().Add(ObjectKind::Palette, palette);
}

HPALETTE SelectPalette(HDC dcHandle, HPALETTE palette, BOOL) {
  auto dc = gdi::FindDc(dcHandle);
  if (!dc || !gdi::Lookup<gdi::PaletteObject>(palette, ObjectKind::Palette)) return 0;
  const HPALETTE previous = dc->palette ? dc->palette : gdi::StockHandle(DEFAULT_PALETTE);
  dc->palette = palette;
  return previous;
}

UINT RealizePalette(HDC dc) { return gdi::FindDc(dc) ? 0 : static_cast<UINT>(-1); }

UINT GetPaletteEntries(HPALETTE handle, UINT start, UINT count, PALETTEENTRY* out) {
  auto palette = gdi::Lookup<gdi::PaletteObject>(handle, ObjectKind::Palette);
  if (!palette) return 0;
  const UINT size = static_cast<UINT>(palette->entries.size());
  if (!out) return size;
  if (start >= size) return 0;
  const UINT n = std::min(count, size - start);
  std::copy_n(palette->entries.begin() + start, n, out);
  return n;
}

}  // namespace platform
