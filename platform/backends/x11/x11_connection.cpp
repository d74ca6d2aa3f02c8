#include "platform/backends/x11/x11_connection.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

namespace platform::x11 {
namespace {

// Errors from requests on windows that went away (a drag source that quit,
// a window destroyed while a request was in flight) are expected; Xlib's
// default handler would end the process.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

// Xlib's own I/O error handler prints and ends the process; the connection's
// exit handler below says what happened instead.
int QuietIoError(Display*) { return 0; }

}  // namespace

unsigned long KeyStateOf(unsigned state) {
  constexpr unsigned long kLeftButton = 0x0001, kRightButton = 0x0002, kShift = 0x0004, kControl = 0x0008,
                          kMiddleButton = 0x0010;
  unsigned long keys = 0;
  if (state & Button1Mask) keys |= kLeftButton;
  if (state & Button2Mask) keys |= kMiddleButton;
  if (state & Button3Mask) keys |= kRightButton;
  if (state & ShiftMask) keys |= kShift;
  if (state & ControlMask) keys |= kControl;
  return keys;
}

std::unique_ptr<Connection> Connection::Open(const char* name) {
  Display* display = XOpenDisplay(name);
  if (!display) return nullptr;
  const int wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wakeFd < 0) {
    XCloseDisplay(display);
    return nullptr;
  }
  XSetErrorHandler(IgnoreError);
  XSetIOErrorHandler(QuietIoError);
  auto connection = std::unique_ptr<Connection>(new Connection(display, wakeFd));
  XSetIOErrorExitHandler(display, &Connection::ConnectionLost, connection.get());
  return connection;
}

Connection::Connection(Display* display, int wakeFd) : display_(display), wakeFd_(wakeFd) {
  auto intern = [&](const char* atom) { return XInternAtom(display_, atom, False); };
  atoms_.wmProtocols = intern("WM_PROTOCOLS");
  atoms_.wmDeleteWindow = intern("WM_DELETE_WINDOW");
  atoms_.wmName = intern("WM_NAME");
  atoms_.netWmName = intern("_NET_WM_NAME");
  atoms_.utf8String = intern("UTF8_STRING");
  atoms_.netWmWindowType = intern("_NET_WM_WINDOW_TYPE");
  atoms_.netWmWindowTypeNormal = intern("_NET_WM_WINDOW_TYPE_NORMAL");
  atoms_.netWmWindowTypeUtility = intern("_NET_WM_WINDOW_TYPE_UTILITY");
  atoms_.netWmWindowTypeDialog = intern("_NET_WM_WINDOW_TYPE_DIALOG");
  atoms_.netWmState = intern("_NET_WM_STATE");
  atoms_.netWmStateAbove = intern("_NET_WM_STATE_ABOVE");
  atoms_.netWmStateModal = intern("_NET_WM_STATE_MODAL");
  atoms_.netActiveWindow = intern("_NET_ACTIVE_WINDOW");
  atoms_.netWmPid = intern("_NET_WM_PID");
  atoms_.netWmIcon = intern("_NET_WM_ICON");
  atoms_.motifWmHints = intern("_MOTIF_WM_HINTS");
  atoms_.netFrameExtents = intern("_NET_FRAME_EXTENTS");
  atoms_.xdndAware = intern("XdndAware");
  atoms_.xdndEnter = intern("XdndEnter");
  atoms_.xdndPosition = intern("XdndPosition");
  atoms_.xdndStatus = intern("XdndStatus");
  atoms_.xdndLeave = intern("XdndLeave");
  atoms_.xdndDrop = intern("XdndDrop");
  atoms_.xdndFinished = intern("XdndFinished");
  atoms_.xdndSelection = intern("XdndSelection");
  atoms_.xdndTypeList = intern("XdndTypeList");
  atoms_.xdndActionCopy = intern("XdndActionCopy");
  atoms_.xdndActionMove = intern("XdndActionMove");
  atoms_.xdndActionLink = intern("XdndActionLink");
  atoms_.xdndActionAsk = intern("XdndActionAsk");
  atoms_.xdndActionPrivate = intern("XdndActionPrivate");
  atoms_.uriList = intern("text/uri-list");
  atoms_.textPlainUtf8 = intern("text/plain;charset=utf-8");
  atoms_.incr = intern("INCR");
  atoms_.dropProperty = intern("TESSELLON_DROP");
}

void Connection::ConnectionLost(Display* display, void* self) {
  auto* connection = static_cast<Connection*>(self);
  if (connection->lost_) return;
  connection->lost_ = true;
  std::fprintf(stderr, "tessellon: lost the connection to the X display '%s'; ending\n", DisplayString(display));
  std::fflush(stderr);
  if (connection->onLost_) connection->onLost_();
}

Connection::~Connection() {
  // A lost connection is left alone: closing it would write to it.
  if (!lost_) XCloseDisplay(display_);
  close(wakeFd_);
}

void Connection::Wake() {
  const uint64_t one = 1;
  // A full counter already wakes the waiter; nothing else can go wrong here.
  [[maybe_unused]] ssize_t written = write(wakeFd_, &one, sizeof one);
}

void Connection::DrainWake() {
  uint64_t count = 0;
  [[maybe_unused]] ssize_t got = read(wakeFd_, &count, sizeof count);
}

void Connection::Wait(std::chrono::milliseconds limit) {
  if (lost_) return;
  XFlush(display_);
  if (lost_ || XPending(display_) > 0) return;
  pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
  if (poll(fds, 2, static_cast<int>(limit.count())) > 0 && (fds[1].revents & POLLIN)) DrainWake();
}

}  // namespace platform::x11
