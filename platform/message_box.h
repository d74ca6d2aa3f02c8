#pragma once

#include <string>
#include <string_view>

#include "platform/types.h"

namespace platform {

inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_ICONSTOP = 0x00000010;
inline constexpr int IDOK = 1;

// Caption and text are ANSI; the backend shows them (offscreen: standard
// error, as UTF-8). Modal: returns when closed.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

// The text a box shows with CR LF line breaks made plain line feeds.
std::string PlainLineBreaks(std::string_view text);
// Writes a box's UTF-8 caption and text to standard error, as every
// backend does whether or not it can show the box.
void WriteMessageBoxToStderr(std::string_view caption, std::string_view text);

}  // namespace platform
