#pragma once

#include "platform/base/types.h"

namespace platform {

inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_ICONSTOP = 0x00000010;
inline constexpr int IDOK = 1;

// Caption and text are ANSI; the backend shows them (offscreen: standard
// error, as UTF-8). Modal: returns when closed.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

}  // namespace platform
