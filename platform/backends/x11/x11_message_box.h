// The message box as a modal X dialog: the text in a CJK-capable font
// through Xft and fontconfig, and an OK button. It uses a connection of its
// own, so any thread may show it.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/types.h"

namespace platform::x11 {

// Shows the box and returns when OK is clicked (or Return, Escape or the
// close box). Returns at once when the display cannot be opened. `text` has
// plain line feeds. With an `owner` (an X window id) the box is centred on
// it and transient for it, else centred on the screen; `stop` draws the
// stop sign beside the text.
void RunModalMessageBox(const char* displayName, std::string_view caption, const std::string& text,
                        unsigned long owner = 0, bool stop = false);

// Where the OK button lies in a box of the given size.
RECT OkButtonRect(int boxWidth, int boxHeight);

}  // namespace platform::x11
