#include "platform/backends/x11/x11_frame_extents.h"

#include <X11/Xatom.h>

#include <thread>
#include <vector>

namespace platform::x11 {
namespace {

// The 32-bit items of a window property of the given type; empty when absent.
std::vector<long> ReadLongs(Display* display, ::Window window, const char* name, ::Atom type) {
  ::Atom actualType = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<long> items;
  if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 64, False, type, &actualType, &format,
                         &count, &after, &data) == Success &&
      data && actualType == type && format == 32) {
    const auto* longs = reinterpret_cast<const long*>(data);  // Xlib hands 32-bit items as longs
    items.assign(longs, longs + count);
  }
  if (data) XFree(data);
  return items;
}

}  // namespace

bool WindowManagerRuns(Display* display) {
  return !ReadLongs(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty();
}

std::optional<FrameExtents> ReadFrameExtents(Display* display, ::Window window) {
  const auto items = ReadLongs(display, window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
  if (items.size() < 4) return std::nullopt;
  for (long item : items)
    if (item < 0 || item > 1000) return std::nullopt;  // no frame is that wide: not to be believed
  return FrameExtents{items[0], items[1], items[2], items[3]};
}

std::optional<FrameExtents> AskFrameExtents(Display* display, ::Window window, std::chrono::milliseconds limit,
                                            const bool& lost) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
  event.xclient.format = 32;
  XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display);
  // A manager that knows the request answers at once; polling the property
  // leaves the connection's events where they are.
  for (auto until = std::chrono::steady_clock::now() + limit; !lost;) {
    if (auto extents = ReadFrameExtents(display, window)) return extents;
    if (std::chrono::steady_clock::now() >= until) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return std::nullopt;
}

POINT CentredFrameCorner(const RECT& centredOn, SIZE client, const FrameExtents& extents) {
  const LONG frameWidth = client.cx + extents.left + extents.right;
  const LONG frameHeight = client.cy + extents.top + extents.bottom;
  return POINT{(centredOn.left + centredOn.right - frameWidth) / 2,
               (centredOn.top + centredOn.bottom - frameHeight) / 2};
}

POINT RequestedPosition(const TopLevelState& state, const std::optional<FrameExtents>& extents) {
  // No frame (no manager, or one that draws none): the client where the program put it.
  if (!extents || *extents == FrameExtents{}) return POINT{state.clientRect.left, state.clientRect.top};
  return CentredFrameCorner(state.windowRect, SIZE{state.clientRect.Width(), state.clientRect.Height()}, *extents);
}

}  // namespace platform::x11
