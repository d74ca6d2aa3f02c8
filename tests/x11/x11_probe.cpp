#include "x11_probe.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <thread>

#include "platform/base/backend.h"
#include "platform/base/system.h"
#include "platform/windows/messages.h"
#include "xvfb_server.h"

namespace x11_test {

DisplayPtr OpenProbe() {
  if (!Server() || !Server()->Running()) return nullptr;
  return DisplayPtr(XOpenDisplay(Server()->Display().c_str()));
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  using namespace platform;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (done()) return true;
    System::Get().GetBackend().WaitForEvents(std::chrono::milliseconds(20));
  }
  return done();
}

void SendToWindow(Display* display, Window window, XEvent event, long mask) {
  event.xany.window = window;
  XSendEvent(display, window, False, mask, &event);
  XFlush(display);
}

std::vector<uint32_t> ReadWindowPixels(Display* display, Window window, int width, int height) {
  XImage* image =
      XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image) return {};
  std::vector<uint32_t> pixels;
  pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
  XDestroyImage(image);
  return pixels;
}

}  // namespace x11_test
