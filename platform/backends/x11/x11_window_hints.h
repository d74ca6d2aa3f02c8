// What a top-level window tells the window manager beyond its title: the
// decorations and functions its frame has, and its icon as _NET_WM_ICON data.
#pragma once

#include <array>
#include <vector>

#include "platform/base/backend.h"

namespace platform::x11 {

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
using MotifHints = std::array<long, 5>;

inline constexpr long kMotifFunctions = 1 << 0, kMotifDecorations = 1 << 1;
inline constexpr long kMotifFuncResize = 1 << 1, kMotifFuncMove = 1 << 2, kMotifFuncMinimize = 1 << 3,
                      kMotifFuncMaximize = 1 << 4, kMotifFuncClose = 1 << 5;
inline constexpr long kMotifDecorBorder = 1 << 1, kMotifDecorResizeHandle = 1 << 2, kMotifDecorTitle = 1 << 3,
                      kMotifDecorMenu = 1 << 4, kMotifDecorMinimize = 1 << 5, kMotifDecorMaximize = 1 << 6;

// The frame a window of these styles draws for itself, as the manager's:
// caption, system menu (and the close box), sizing border, minimise and
// maximise boxes.
MotifHints MotifHintsFor(DWORD style, DWORD exStyle);

// _NET_WM_ICON data (width, height, then ARGB rows) of an icon; empty when
// it cannot be read. Where the AND mask is set the pixel is transparent.
std::vector<unsigned long> IconData(HICON icon);
// The program's own icon, for windows that have none: three picture squares
// and an empty fourth, at 16 and 32 pixels.
std::vector<unsigned long> ProgramIconData();

}  // namespace platform::x11
