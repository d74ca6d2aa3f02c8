// The tests' own view of the X server: a second connection that reads what
// the server shows and plays the user (close box, window manager moves).
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "find_window.h"
#include "platform/base/types.h"

namespace x11_test {

struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

// Opens the test server's display; null without one.
DisplayPtr OpenProbe();

// Runs the program's messages (and so the backend) until `done` holds or
// `limit` passes; returns whether it held.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::milliseconds(3000));

// The window's pixels as the server has them, 0x00RRGGBB, row by row;
// empty when the window cannot be read.
std::vector<uint32_t> ReadWindowPixels(Display* display, Window window, int width, int height);

// Sends `event` to `window` as input from the user arrives (selected by
// `mask`), and flushes it to the server.
void SendToWindow(Display* display, Window window, XEvent event, long mask);

}  // namespace x11_test
