// Finding a program's window on the server by its title.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace x11_test {

// The first window whose _NET_WM_NAME is `title`, inside a window manager's
// frame or not; 0 when none.
Window FindWindowByTitle(Display* display, const std::string& title);

}  // namespace x11_test
