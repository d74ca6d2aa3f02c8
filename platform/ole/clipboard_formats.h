// Clipboard formats: the standard ones the drop targets use and formats
// registered by name.
#pragma once

#include <string>

#include "platform/base/types.h"

namespace platform {

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_UNICODETEXT = 13;
inline constexpr UINT CF_HDROP = 15;

// The same id for the same name (compared without regard to ASCII case) for
// the life of the process, counting up from 0xC000; 0 for a null or empty
// name.
UINT RegisterClipboardFormatA(const char* name);
// The name a registered format was first registered with; empty for other
// ids.
std::string GetClipboardFormatNameA(UINT format);

}  // namespace platform
