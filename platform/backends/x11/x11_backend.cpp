#include "platform/backends/x11/x11_backend.h"

#include <array>
#include <utility>

#include "platform/backends/x11/x11_keyboard.h"
#include "platform/backends/x11/x11_message_box.h"
#include "platform/backends/x11/xdnd.h"
#include "platform/gdi/icons/cursor.h"
#include "platform/windows/message_box.h"
#include "platform/windows/native_events.h"
#include "platform/windows/pointer.h"
#include "platform/windows/window.h"

namespace platform::x11 {
namespace {

// The button's message, 0 for the wheel and extra buttons.
UINT ButtonMessage(unsigned button, bool press) {
  switch (button) {
    case Button1: return press ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case Button2: return press ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    case Button3: return press ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    default: return 0;
  }
}

}  // namespace

std::unique_ptr<X11Backend> X11Backend::Open(const char* display) {
  auto connection = Connection::Open(display);
  if (!connection) return nullptr;
  return std::unique_ptr<X11Backend>(new X11Backend(std::move(connection)));
}

X11Backend::X11Backend(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)),
      thread_(std::this_thread::get_id()),
      cursors_(std::make_unique<CursorCache>(*connection_)),
      drops_(std::make_unique<DropTarget>(*connection_)) {
  // A lost display ends the message loop; the runtime then shuts down with
  // every call into this backend leaving the dead connection alone.
  connection_->OnLost([] { PostQuitMessage(0); });
  AskForPlainRepeats(connection_->Dpy());
}

X11Backend::~X11Backend() {
  drops_.reset();
  windows_.clear();
  cursors_.reset();
}

SIZE X11Backend::ScreenSize() const {
  Display* display = connection_->Dpy();
  return SIZE{DisplayWidth(display, connection_->ScreenNumber()), DisplayHeight(display, connection_->ScreenNumber())};
}

void X11Backend::ShowMessageBox(std::string_view caption, std::string_view text, HWND owner, bool stop) {
  WriteMessageBoxToStderr(caption, text);
  if (connection_->Lost()) return;
  // The native windows are the GUI thread's; from elsewhere the box has no owner.
  const ::Window ownerId = OnGuiThread() ? NativeId(owner) : 0;
  if (ownerId) XFlush(connection_->Dpy());  // the box's connection must find the owner where it is
  // Its own connection: the box may come from any thread, and it must not
  // take the main connection's events.
  RunModalMessageBox(DisplayString(connection_->Dpy()), caption, PlainLineBreaks(text), ownerId, stop);
}

void X11Backend::OnTopLevelDestroyed(HWND hwnd) {
  if (!OnGuiThread()) return;
  drops_->Forget(windows_.count(hwnd) ? windows_[hwnd]->Id() : 0);
  windows_.erase(hwnd);
  shown_.erase(hwnd);
  if (pointerOver_ == hwnd) pointerOver_ = 0;
}

::Window X11Backend::NativeId(HWND hwnd) const {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? 0 : it->second->Id();
}

void X11Backend::OnTopLevelChanged(const TopLevelState& state) {
  if (!OnGuiThread() || connection_->Lost()) return;
  const ::Window transientFor = NativeId(state.owner);
  auto it = windows_.find(state.hwnd);
  if (it == windows_.end()) {
    // Made on first show; a window never shown needs no X window.
    if (!state.visible) return;
    windows_.emplace(state.hwnd, std::make_unique<NativeWindow>(*connection_, state, transientFor));
    return;
  }
  it->second->Apply(state, transientFor);
}

void X11Backend::OnSurfaceDamaged(HWND) { connection_->Wake(); }

NativeWindow* X11Backend::FindNative(::Window id) {
  for (auto& [hwnd, window] : windows_)
    if (window->Id() == id) return window.get();
  return nullptr;
}

HCURSOR X11Backend::ShownCursor(HWND hwnd) const {
  auto it = shown_.find(hwnd);
  return it == shown_.end() ? 0 : it->second;
}

void X11Backend::ShowCursor(NativeWindow& window, HCURSOR cursor) {
  shown_[window.Hwnd()] = cursor;
  window.ShowCursor(cursors_->For(cursor));
}

void X11Backend::HandleMouse(NativeWindow& window, const XEvent& event) {
  Display* display = connection_->Dpy();
  if (event.type == MotionNotify) {
    // Only the latest position matters.
    XEvent later;
    XMotionEvent motion = event.xmotion;
    while (XCheckTypedWindowEvent(display, window.Id(), MotionNotify, &later)) motion = later.xmotion;
    const ::Window id = window.Id();
    const HCURSOR cursor =
        NativeMouse(window.Hwnd(), WM_MOUSEMOVE, POINT{motion.x, motion.y}, KeyStateOf(motion.state));
    // WM_SETCURSOR may have destroyed the window.
    if (NativeWindow* still = FindNative(id)) {
      pointerOver_ = still->Hwnd();
      ShowCursor(*still, cursor);
    }
    return;
  }
  const XButtonEvent& button = event.xbutton;
  const UINT message = ButtonMessage(button.button, event.type == ButtonPress);
  if (!message) return;
  // The state is from before the event: the pressed button joins it, the released one leaves.
  unsigned state = button.state;
  const unsigned mask = button.button == Button1 ? Button1Mask : button.button == Button2 ? Button2Mask : Button3Mask;
  state = event.type == ButtonPress ? (state | mask) : (state & ~mask);
  NativeMouse(window.Hwnd(), message, POINT{button.x, button.y}, KeyStateOf(state));
}

bool X11Backend::Handle(XEvent& event) {
  if (drops_->Handle(event)) return true;
  NativeWindow* window = FindNative(event.xany.window);
  if (!window) return false;
  const HWND hwnd = window->Hwnd();
  switch (event.type) {
    case Expose:
      window->NoteExposed(RECT{event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                               event.xexpose.y + event.xexpose.height});
      return false;
    case ConfigureNotify: {
      // Window managers reparent: where the client area is comes from the root.
      int x = 0, y = 0;
      ::Window child;
      XTranslateCoordinates(connection_->Dpy(), window->Id(), connection_->Root(), 0, 0, &x, &y, &child);
      const RECT client{x, y, x + event.xconfigure.width, y + event.xconfigure.height};
      if (!window->NoteConfigured(client)) return false;
      NativeClientMoved(hwnd, client);
      return true;
    }
    case ClientMessage:
      if (event.xclient.message_type == connection_->Names().wmProtocols &&
          (static_cast<unsigned long>(event.xclient.data.l[0]) & 0xFFFFFFFFul) == connection_->Names().wmDeleteWindow) {
        NativeCloseRequested(hwnd);
        return true;
      }
      return false;
    case PropertyNotify:
      if (event.xproperty.atom == connection_->Names().netFrameExtents) window->NoteFrameExtents();
      return false;
    case FocusIn:
    case FocusOut:
      if (event.xfocus.detail == NotifyPointer || event.xfocus.mode == NotifyGrab || event.xfocus.mode == NotifyUngrab)
        return false;
      NativeFocusChanged(hwnd, event.type == FocusIn);
      return true;
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify: HandleMouse(*window, event); return true;
    case KeyPress:
    case KeyRelease: {
      const KeyInput key = ReadKey(event.xkey);
      NativeKey(hwnd, key.virtualKey, event.type == KeyPress, key.ansi);
      return true;
    }
    default: return false;
  }
}

void X11Backend::PresentAll() {
  for (auto& [hwnd, window] : windows_)
    if (auto surface = TopLevelSurface(hwnd)) window->Present(*surface);
  // A cursor chosen without the pointer moving (a unit's pointer changed
  // under it) shows too.
  if (auto it = windows_.find(pointerOver_); it != windows_.end() && GetCursor() != ShownCursor(pointerOver_))
    ShowCursor(*it->second, GetCursor());
  XFlush(connection_->Dpy());
}

bool X11Backend::PumpEvents() {
  // A drop's handler may take messages itself; the events it would read
  // wait until the drop has returned.
  if (!OnGuiThread() || pumping_ || connection_->Lost()) return false;
  pumping_ = true;
  bool worked = false;
  Display* display = connection_->Dpy();
  while (!connection_->Lost() && XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    if (Handle(event)) worked = true;
  }
  if (!connection_->Lost() && drops_->CheckTimeout()) worked = true;
  if (!connection_->Lost()) PresentAll();
  pumping_ = false;
  return worked;
}

bool X11Backend::WaitForEvents(std::chrono::milliseconds limit) {
  // Inside a pump its unread events would wake the wait at once, every time.
  if (!OnGuiThread() || pumping_ || connection_->Lost()) return false;
  connection_->Wait(drops_->Waiting() ? std::min(limit, std::chrono::milliseconds(100)) : limit);
  return true;
}

}  // namespace platform::x11
