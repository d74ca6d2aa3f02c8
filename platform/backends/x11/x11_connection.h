// One Xlib display connection with the atoms the backend uses, an eventfd
// that other threads write to wake the connection's thread, and the error
// handler that keeps a vanished window's BadWindow from ending the program.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace platform::x11 {

struct Atoms {
  Atom wmProtocols, wmDeleteWindow, wmName, netWmName, utf8String, netWmWindowType, netWmWindowTypeNormal,
      netWmWindowTypeUtility, netWmWindowTypeDialog, netWmState, netWmStateAbove, netWmStateModal, netActiveWindow;
  Atom netWmPid, netWmIcon, motifWmHints, netFrameExtents;
  Atom xdndAware, xdndEnter, xdndPosition, xdndStatus, xdndLeave, xdndDrop, xdndFinished, xdndSelection, xdndTypeList,
      xdndActionCopy, xdndActionMove, xdndActionLink, xdndActionAsk, xdndActionPrivate, uriList, textPlainUtf8, incr,
      dropProperty;
};

// The MK_ key bits (buttons, Shift, Control) of an X modifier state, as
// mouse messages and drop targets read them.
unsigned long KeyStateOf(unsigned state);

class Connection {
 public:
  // Null when no display can be opened (`name` null: $DISPLAY).
  static std::unique_ptr<Connection> Open(const char* name = nullptr);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  Display* Dpy() const { return display_; }
  int ScreenNumber() const { return DefaultScreen(display_); }
  ::Window Root() const { return RootWindow(display_, ScreenNumber()); }
  const Atoms& Names() const { return atoms_; }

  // Flushes, then sleeps until the connection has events, Wake was called,
  // or `limit` passed. True at once when events are already queued.
  void Wait(std::chrono::milliseconds limit);

  // The server went away (a logout, a dropped remote session): from then on
  // nothing may touch the connection. Set by Xlib's I/O error path, which
  // here returns instead of ending the process; `lost` runs once, at once.
  bool Lost() const { return lost_; }
  // For waits that poll the server: they end when the connection goes.
  const bool& LostFlag() const { return lost_; }
  void OnLost(std::function<void()> lost) { onLost_ = std::move(lost); }
  // Any thread.
  void Wake();

 private:
  Connection(Display* display, int wakeFd);
  void DrainWake();

  static void ConnectionLost(Display* display, void* connection);

  Display* display_;
  int wakeFd_;
  Atoms atoms_{};
  bool lost_ = false;
  std::function<void()> onLost_;
};

}  // namespace platform::x11
