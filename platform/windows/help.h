// Help files: shown by whatever the desktop opens such a file with.
#pragma once

#include <cstdint>

#include "platform/base/types.h"

namespace platform {

inline constexpr UINT HELP_CONTEXT = 0x0001;  // `data`: the topic number
inline constexpr UINT HELP_FINDER = 0x000B;   // the contents

// FALSE (with the last error set) when the file cannot be read, or the
// display has nothing to show it with; then nothing is shown.
BOOL WinHelpA(HWND hwnd, const char* file, UINT command, uintptr_t data);

}  // namespace platform
