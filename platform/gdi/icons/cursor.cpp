#include "platform/gdi/icons/cursor.h"

#include <algorithm>
#include <array>
#include <span>

#include "platform/gdi/icons/icon.h"
#include "platform/gdi/icons/icon_image.h"

namespace platform {

using namespace gdi;

namespace {

struct SystemCursor {
  uintptr_t id;
  POINT hotspot;
};

constexpr std::array<SystemCursor, 14> kSystemCursors = {{
    {IDC_ARROW, {0, 0}},
    {IDC_IBEAM, {16, 16}},
    {IDC_WAIT, {16, 16}},
    {IDC_CROSS, {16, 16}},
    {IDC_UPARROW, {16, 0}},
    {IDC_SIZENWSE, {16, 16}},
    {IDC_SIZENESW, {16, 16}},
    {IDC_SIZEWE, {16, 16}},
    {IDC_SIZENS, {16, 16}},
    {IDC_SIZEALL, {16, 16}},
    {IDC_NO, {16, 16}},
    {IDC_HAND, {6, 0}},
    {IDC_APPSTARTING, {0, 0}},
    {IDC_HELP, {0, 0}},
}};

// Made once, on first use, and never changed: the system cursors have no
// pictures here (nothing shows a pointer), so each is a 32 x 32 image that
// leaves whatever it is drawn on as it was.
struct SystemCursorSet {
  std::array<HCURSOR, kSystemCursors.size()> handles{};

  SystemCursorSet() {
    for (size_t i = 0; i < kSystemCursors.size(); ++i) {
      auto cursor = std::make_shared<IconObject>();
      cursor->width = cursor->height = 32;
      cursor->isIcon = false;
      cursor->shared = true;
      cursor->hotspot = kSystemCursors[i].hotspot;
      cursor->colour.assign(32 * 32, 0);
      cursor->mask.assign(32 * 32, 1);
      handles[i] = Handles().Add(ObjectKind::Icon, cursor);
    }
  }
};

const SystemCursorSet& SystemCursors() {
  static const SystemCursorSet set;
  return set;
}

uint32_t Read16(std::span<const uint8_t> d, size_t at) { return d[at] | uint32_t{d[at + 1]} << 8; }
uint32_t Read32(std::span<const uint8_t> d, size_t at) { return Read16(d, at) | Read16(d, at + 2) << 16; }

}  // namespace

HCURSOR LoadCursorA(Handle instance, uintptr_t id) {
  if (instance != 0) return 0;
  for (size_t i = 0; i < kSystemCursors.size(); ++i)
    if (kSystemCursors[i].id == id) return SystemCursors().handles[i];
  return 0;
}

HCURSOR CreateCursorFromFileData(const uint8_t* bytes, size_t size) {
  if (!bytes) return 0;
  const std::span<const uint8_t> data(bytes, size);
  constexpr size_t kHeader = 6, kEntry = 16;
  // reserved 0, type 2 (cursor), image count
  if (data.size() < kHeader || Read16(data, 0) != 0 || Read16(data, 2) != 2) return 0;
  const size_t count = Read16(data, 4);
  if (count == 0 || count > (data.size() - kHeader) / kEntry) return 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = kHeader + i * kEntry;
    // width, height, colours, reserved, hot spot x, hot spot y, bytes, offset
    const POINT hotspot{static_cast<LONG>(Read16(data, entry + 4)), static_cast<LONG>(Read16(data, entry + 6))};
    const size_t length = Read32(data, entry + 8), offset = Read32(data, entry + 12);
    if (length == 0 || offset > data.size() || length > data.size() - offset) continue;
    auto cursor = IconFromImage(data.subspan(offset, length));
    if (!cursor) return 0;
    cursor->isIcon = false;
    cursor->hotspot = POINT{std::min(hotspot.x, cursor->width - 1), std::min(hotspot.y, cursor->height - 1)};
    return Handles().Add(ObjectKind::Icon, cursor);
  }
  return 0;
}

BOOL DestroyCursor(HCURSOR cursor) { return DestroyIcon(cursor); }

BOOL GetCursorHotspot(HCURSOR handle, POINT* hotspot) {
  auto cursor = Lookup<IconObject>(handle, ObjectKind::Icon);
  if (!cursor || !hotspot) return FALSE;
  *hotspot = cursor->hotspot;
  return TRUE;
}

}  // namespace platform
