// Conversions between byte strings and UTF-16, shaped like the desktop's.
// The byte side is UTF-8 (CP_UTF8) or the ANSI code page, GB18030 (CP_ACP).
#pragma once

#include "platform/base/last_error.h"
#include "platform/base/types.h"

namespace platform {

using WCHAR = char16_t;

inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_UTF8 = 65001;

// MultiByteToWideChar: invalid input fails instead of being replaced.
inline constexpr DWORD MB_ERR_INVALID_CHARS = 0x08;
// WideCharToMultiByte: accepted; precomposed forms are left as they are.
inline constexpr DWORD WC_COMPOSITECHECK = 0x200;

// A source length of -1 means up to and including the terminating NUL.
// With no output buffer (or a size of 0) the call returns the units needed;
// otherwise the units written, or 0 (last error set) when the buffer is too
// small or the input cannot be converted. Invalid UTF-8 becomes U+FFFD
// unless MB_ERR_INVALID_CHARS is given; unpaired surrogates become U+FFFD.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* source, int sourceLength, WCHAR* out, int outLength);
// `defaultChar` and `usedDefault` are not supported (must be null): every
// character has a form in both code pages.
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* source, int sourceLength, char* out, int outLength,
                        const char* defaultChar, BOOL* usedDefault);

}  // namespace platform
