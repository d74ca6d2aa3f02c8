// Cursors: the shared system cursors and cursors made from cursor files.
// A cursor is an icon with a hot spot; DrawIconEx and GetIconInfo take it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/base/types.h"

namespace platform {

inline constexpr uintptr_t IDC_ARROW = 32512;
inline constexpr uintptr_t IDC_IBEAM = 32513;
inline constexpr uintptr_t IDC_WAIT = 32514;
inline constexpr uintptr_t IDC_CROSS = 32515;
inline constexpr uintptr_t IDC_UPARROW = 32516;
inline constexpr uintptr_t IDC_SIZENWSE = 32642;
inline constexpr uintptr_t IDC_SIZENESW = 32643;
inline constexpr uintptr_t IDC_SIZEWE = 32644;
inline constexpr uintptr_t IDC_SIZENS = 32645;
inline constexpr uintptr_t IDC_SIZEALL = 32646;
inline constexpr uintptr_t IDC_NO = 32648;
inline constexpr uintptr_t IDC_HAND = 32649;
inline constexpr uintptr_t IDC_APPSTARTING = 32650;
inline constexpr uintptr_t IDC_HELP = 32651;

// With `instance` 0, the shared system cursor `id` (the same handle on
// every call); 0 for any other id or instance, since the program carries no
// cursor resources.
HCURSOR LoadCursorA(Handle instance, uintptr_t id);
// A cursor from the bytes of a cursor file (type 2): its first image whose
// bytes lie inside the data, with that entry's hot spot. 0 for anything else.
HCURSOR CreateCursorFromFileData(const uint8_t* data, size_t size);
// A shared system cursor is left alone (TRUE).
BOOL DestroyCursor(HCURSOR cursor);
// The cursor's hot spot; FALSE for a bad handle.
BOOL GetCursorHotspot(HCURSOR cursor, POINT* hotspot);

}  // namespace platform
