#include "platform/backends/x11/x11_window_hints.h"

#include <cstdint>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/icons/icon.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/owners.h"
#include "platform/windows/window.h"

namespace platform::x11 {
namespace {

// A bitmap's pixels as 32-bit words, rows top-down; empty when unreadable.
std::vector<uint32_t> ReadPixels(HGDIOBJ bitmap, int width, int height) {
  if (!bitmap) return {};
  BITMAPINFO info{};
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  if (GetDIBits(0, static_cast<HBITMAP>(bitmap), 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) !=
      height)
    return {};
  return pixels;
}

// One square of the program's icon: a frame around four tiles, three of
// them pictures and the fourth still empty, as the tool's window is.
void DrawProgramIcon(int size, std::vector<unsigned long>& out) {
  constexpr uint32_t kFrame = 0xFF404040, kGround = 0xFFF0F0F0, kEmpty = 0xFFC8C8C8;
  constexpr uint32_t kTiles[4] = {0xFF3A7BD5, 0xFFE0A030, 0xFF4CAF50, kEmpty};
  out.push_back(static_cast<unsigned long>(size));
  out.push_back(static_cast<unsigned long>(size));
  const int gap = size / 16 + 1, half = size / 2;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      uint32_t colour = kGround;
      if (x == 0 || y == 0 || x == size - 1 || y == size - 1) {
        colour = kFrame;
      } else {
        const bool right = x >= half, bottom = y >= half;
        const int inX = right ? x - half : x, inY = bottom ? y - half : y;
        if (inX >= gap && inY >= gap && inX < half - gap / 2 && inY < half - gap / 2)
          colour = kTiles[(bottom ? 2 : 0) + (right ? 1 : 0)];
      }
      out.push_back(colour);
    }
}

}  // namespace

MotifHints MotifHintsFor(DWORD style, DWORD exStyle) {
  long functions = kMotifFuncMove, decorations = 0;
  const bool caption = (style & WS_CAPTION) == WS_CAPTION;
  if (caption) decorations |= kMotifDecorTitle;
  if ((style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) || (exStyle & WS_EX_DLGMODALFRAME))
    decorations |= kMotifDecorBorder;
  if (style & WS_THICKFRAME) {
    functions |= kMotifFuncResize;
    decorations |= kMotifDecorResizeHandle;
  }
  // The boxes sit in the caption's system menu: without it there are none.
  if (caption && (style & WS_SYSMENU)) {
    functions |= kMotifFuncClose;
    decorations |= kMotifDecorMenu;
    if (style & WS_MINIMIZEBOX) {
      functions |= kMotifFuncMinimize;
      decorations |= kMotifDecorMinimize;
    }
    if (style & WS_MAXIMIZEBOX) {
      functions |= kMotifFuncMaximize;
      decorations |= kMotifDecorMaximize;
    }
  }
  return MotifHints{kMotifFunctions | kMotifDecorations, functions, decorations, 0, 0};
}

std::vector<unsigned long> IconData(HICON icon) {
  SIZE size{};
  if (!icon || !GetIconSize(icon, &size) || size.cx <= 0 || size.cy <= 0 || size.cx > 256 || size.cy > 256) return {};
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {};
  // The icon's copies of its bitmaps are ours to free.
  const OwnedGdiObject colourBitmap(info.hbmColor), maskBitmap(info.hbmMask);
  const auto colour = ReadPixels(colourBitmap.get(), size.cx, size.cy);
  const auto mask = ReadPixels(maskBitmap.get(), size.cx, size.cy);
  if (colour.empty()) return {};
  std::vector<unsigned long> data{static_cast<unsigned long>(size.cx), static_cast<unsigned long>(size.cy)};
  data.reserve(2 + colour.size());
  for (size_t i = 0; i < colour.size(); ++i) {
    const bool transparent = !mask.empty() && (mask[i] & 0xFFFFFF) != 0;
    data.push_back(transparent ? 0 : 0xFF000000ul | (colour[i] & 0xFFFFFF));
  }
  return data;
}

std::vector<unsigned long> ProgramIconData() {
  std::vector<unsigned long> data;
  DrawProgramIcon(16, data);
  DrawProgramIcon(32, data);
  return data;
}

}  // namespace platform::x11
