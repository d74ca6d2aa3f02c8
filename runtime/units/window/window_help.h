// F1 on a window whose block asks for it: the help file opened at the block's
// topic, or at its contents for topic 0.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/types.h"
#include "runtime/units/window/window_block.h"

namespace runtime::units::window {

// The block's help file; when it names none, the program's own file name
// with the extension "hlp" in the program's directory. ANSI.
std::string HelpFileOf(const WindowBlock& block, std::string_view programDirectory, std::string_view programFile);

// Opens the window's help as its block says; false when it could not be
// opened (no such file, nothing on this desktop to show it with).
bool OpenHelp(platform::HWND hwnd, const WindowBlock& block);

}  // namespace runtime::units::window
