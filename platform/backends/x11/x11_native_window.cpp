#include "platform/backends/x11/x11_native_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <climits>
#include <cstdio>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/backends/x11/x11_window_hints.h"
#include "platform/windows/window.h"

namespace platform::x11 {
namespace {

constexpr long kEventMask = ExposureMask | StructureNotifyMask | FocusChangeMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | PropertyChangeMask | KeyPressMask | KeyReleaseMask;

// A manager asked for its frame's sizes answers at once; one that does not
// answer within this is not waited for longer.
constexpr auto kFrameExtentsWait = std::chrono::milliseconds(250);

RECT Union(const RECT& a, const RECT& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

// Our surfaces hold 0x00RRGGBB in host order: the visual must have those masks.
bool VisualTakesSurfaces(Display* display, int screen) {
  const Visual* visual = DefaultVisual(display, screen);
  const int depth = DefaultDepth(display, screen);
  return (depth == 24 || depth == 32) && visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
         visual->blue_mask == 0xFF;
}

}  // namespace

NativeWindow::NativeWindow(Connection& connection, const TopLevelState& state, ::Window transientFor)
    : connection_(connection), state_(state) {
  Display* display = connection_.Dpy();
  const RECT& client = state.clientRect;
  XSetWindowAttributes attributes{};
  attributes.background_pixmap = None;  // the surface paints every pixel; no flash of a background
  attributes.event_mask = kEventMask;
  attributes.bit_gravity = NorthWestGravity;
  window_ = XCreateWindow(display, connection_.Root(), client.left, client.top,
                          static_cast<unsigned>(std::max<LONG>(1, client.Width())),
                          static_cast<unsigned>(std::max<LONG>(1, client.Height())), 0, CopyFromParent, InputOutput,
                          CopyFromParent, CWBackPixmap | CWEventMask | CWBitGravity, &attributes);
  gc_ = XCreateGC(display, window_, 0, nullptr);

  XClassHint classHint{const_cast<char*>("tessellon"), const_cast<char*>("Tessellon")};
  XSetClassHint(display, window_, &classHint);
  ::Atom protocols[] = {connection_.Names().wmDeleteWindow};
  XSetWMProtocols(display, window_, protocols, 1);
  // Drops from file managers: XDND version 5.
  const long version = 5;
  XChangeProperty(display, window_, connection_.Names().xdndAware, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&version), 1);
  ApplyTitle();
  ApplyProcessHints();
  ApplyIcon();
  ApplyHints(transientFor);
  // The frame, not the client area, goes where the program put its frame.
  const bool managed = AwaitFrameExtents();
  if (extents_) ApplyHints(transientFor);
  const POINT at = RequestedPosition(state_, extents_);
  if (at.x != client.left || at.y != client.top) XMoveWindow(display, window_, at.x, at.y);
  if (state_.visible) {
    if (managed && !extents_) placedWithoutExtents_ = state_;
    XMapWindow(display, window_);
    mapped_ = true;
  }
}

void NativeWindow::ApplyProcessHints() {
  Display* display = connection_.Dpy();
  const long pid = static_cast<long>(getpid());
  XChangeProperty(display, window_, connection_.Names().netWmPid, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  // The window takes the keyboard: strict managers give focus only to a
  // window that says so.
  if (XWMHints* wm = XAllocWMHints()) {
    wm->flags = InputHint | StateHint;
    wm->input = True;
    wm->initial_state = NormalState;
    XSetWMHints(display, window_, wm);
    XFree(wm);
  }
  char host[HOST_NAME_MAX + 1] = {};
  if (gethostname(host, sizeof host - 1) != 0 || !host[0]) return;
  char* names[] = {host};
  XTextProperty machine{};
  if (!XStringListToTextProperty(names, 1, &machine)) return;
  XSetWMClientMachine(display, window_, &machine);
  XFree(machine.value);
}

void NativeWindow::ApplyIcon() {
  Display* display = connection_.Dpy();
  std::vector<unsigned long> data = IconData(state_.icon);
  if (data.empty()) data = ProgramIconData();
  XChangeProperty(display, window_, connection_.Names().netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
}

bool NativeWindow::AwaitFrameExtents() {
  Display* display = connection_.Dpy();
  if (!WindowManagerRuns(display)) return false;
  extents_ = AskFrameExtents(display, window_, kFrameExtentsWait, connection_.LostFlag());
  return true;
}

void NativeWindow::NoteFrameExtents() {
  const std::optional<FrameExtents> extents = ReadFrameExtents(connection_.Dpy(), window_);
  if (!extents || extents == extents_) return;
  extents_ = extents;
  if (!placedWithoutExtents_) return;
  // Placed as the program asked, before the frame's sizes were known.
  const POINT at = RequestedPosition(*placedWithoutExtents_, extents_);
  placedWithoutExtents_.reset();
  XMoveWindow(connection_.Dpy(), window_, at.x, at.y);
}

NativeWindow::~NativeWindow() {
  Display* display = connection_.Dpy();
  // The GC's own memory is Xlib's to free; on a lost connection Xlib sends
  // nothing more, so this only frees it.
  XFreeGC(display, gc_);
  if (connection_.Lost()) return;  // the server took the window with it
  XDestroyWindow(display, window_);
  XFlush(display);
}

void NativeWindow::ApplyTitle() {
  Display* display = connection_.Dpy();
  const auto* bytes = reinterpret_cast<const unsigned char*>(state_.title.data());
  const int length = static_cast<int>(state_.title.size());
  XChangeProperty(display, window_, connection_.Names().netWmName, connection_.Names().utf8String, 8, PropModeReplace,
                  bytes, length);
  XChangeProperty(display, window_, connection_.Names().wmName, connection_.Names().utf8String, 8, PropModeReplace,
                  bytes, length);
}

void NativeWindow::ApplyHints(::Window transientFor) {
  Display* display = connection_.Dpy();
  const Atoms& names = connection_.Names();
  XSizeHints* hints = XAllocSizeHints();
  if (hints) {
    // The program places and centres its windows itself.
    hints->flags = USPosition | PPosition | PSize | PWinGravity;
    const POINT at = RequestedPosition(state_, extents_);
    hints->x = at.x;
    hints->y = at.y;
    hints->win_gravity = NorthWestGravity;  // the position is the frame's corner
    hints->width = std::max<LONG>(1, state_.clientRect.Width());
    hints->height = std::max<LONG>(1, state_.clientRect.Height());
    if (!(state_.style & WS_THICKFRAME)) {
      hints->flags |= PMinSize | PMaxSize;
      hints->min_width = hints->max_width = hints->width;
      hints->min_height = hints->max_height = hints->height;
    }
    XSetWMNormalHints(display, window_, hints);
    XFree(hints);
  }
  if (transientFor)
    XSetTransientForHint(display, window_, transientFor);
  else if (transientFor_)
    XDeleteProperty(display, window_, XA_WM_TRANSIENT_FOR);
  transientFor_ = transientFor;

  const MotifHints motif = MotifHintsFor(state_.style, state_.exStyle);
  XChangeProperty(display, window_, names.motifWmHints, names.motifWmHints, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(motif.data()), static_cast<int>(motif.size()));

  const ::Atom type = (state_.exStyle & WS_EX_TOOLWINDOW) ? names.netWmWindowTypeUtility
                      : transientFor                      ? names.netWmWindowTypeDialog
                                                          : names.netWmWindowTypeNormal;
  XChangeProperty(display, window_, names.netWmWindowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&type), 1);
  const bool above = (state_.exStyle & WS_EX_TOPMOST) != 0;
  if (!mapped_) {
    if (above)
      XChangeProperty(display, window_, names.netWmState, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&names.netWmStateAbove), 1);
    else
      XDeleteProperty(display, window_, names.netWmState);
    return;
  }
  // A mapped window's state belongs to the window manager: ask it (add or
  // remove; from an application).
  AskWindowManager(names.netWmState, above ? 1 : 0, static_cast<long>(names.netWmStateAbove), 1);
}

void NativeWindow::AskWindowManager(::Atom type, long l0, long l1, long l3) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window_;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  event.xclient.data.l[0] = l0;
  event.xclient.data.l[1] = l1;
  event.xclient.data.l[3] = l3;
  XSendEvent(connection_.Dpy(), connection_.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

void NativeWindow::Apply(const TopLevelState& state, ::Window transientFor) {
  Display* display = connection_.Dpy();
  const TopLevelState before = state_;
  state_ = state;
  if (state.title != before.title) ApplyTitle();
  const bool resized =
      state.clientRect.Width() != before.clientRect.Width() || state.clientRect.Height() != before.clientRect.Height();
  if (state.style != before.style || state.exStyle != before.exStyle || transientFor != transientFor_ || resized)
    ApplyHints(transientFor);
  if (state.icon != before.icon) ApplyIcon();
  if (state.clientRect != before.clientRect) {
    placedWithoutExtents_.reset();  // the program's own move replaces the first placing
    const POINT at = RequestedPosition(state_, extents_);
    XMoveResizeWindow(display, window_, at.x, at.y, static_cast<unsigned>(std::max<LONG>(1, state.clientRect.Width())),
                      static_cast<unsigned>(std::max<LONG>(1, state.clientRect.Height())));
  }
  if (state.visible != mapped_) {
    if (state.visible)
      XMapWindow(display, window_);
    else
      XUnmapWindow(display, window_);
    mapped_ = state.visible;
  }
  if (state.active && !before.active && mapped_) {
    // Activation asked for by the program (from an application, now): the
    // window manager decides.
    AskWindowManager(connection_.Names().netActiveWindow, 1, CurrentTime, 0);
    XRaiseWindow(display, window_);
  }
}

bool NativeWindow::NoteConfigured(const RECT& clientOnScreen) {
  if (clientOnScreen == state_.clientRect) return false;
  const LONG dx = clientOnScreen.left - state_.clientRect.left, dy = clientOnScreen.top - state_.clientRect.top;
  state_.windowRect = RECT{state_.windowRect.left + dx, state_.windowRect.top + dy,
                           state_.windowRect.right + dx + clientOnScreen.Width() - state_.clientRect.Width(),
                           state_.windowRect.bottom + dy + clientOnScreen.Height() - state_.clientRect.Height()};
  state_.clientRect = clientOnScreen;
  return true;
}

void NativeWindow::NoteExposed(const RECT& area) { exposed_ = Union(exposed_, area); }

void NativeWindow::Present(Surface& surface) {
  const RECT wanted = Union(surface.TakeDamage(), std::exchange(exposed_, RECT{}));
  if (!mapped_ || wanted.IsEmpty()) return;
  Display* display = connection_.Dpy();
  const int screen = connection_.ScreenNumber();
  if (!VisualTakesSurfaces(display, screen) || surface.Stride() <= 0) {
    static std::once_flag told;
    std::call_once(told, [] { std::fputs("tessellon: the display's visual is not 24-bit true colour\n", stderr); });
    return;
  }
  const RECT area{std::max<LONG>(0, wanted.left), std::max<LONG>(0, wanted.top),
                  std::min(wanted.right, surface.Width()), std::min(wanted.bottom, surface.Height())};
  if (area.IsEmpty()) return;
  std::lock_guard lock(surface.Mutex());
  XImage* image =
      XCreateImage(display, DefaultVisual(display, screen), static_cast<unsigned>(DefaultDepth(display, screen)),
                   ZPixmap, 0, reinterpret_cast<char*>(surface.Row(0)), static_cast<unsigned>(surface.Width()),
                   static_cast<unsigned>(surface.Height()), 32, static_cast<int>(surface.Stride()));
  if (!image) return;
  // The pixels are host-order 32-bit words; Xlib swaps for a server that differs.
  image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
  XPutImage(display, window_, gc_, image, area.left, area.top, area.left, area.top, static_cast<unsigned>(area.Width()),
            static_cast<unsigned>(area.Height()));
  image->data = nullptr;  // the surface's memory, not Xlib's
  XDestroyImage(image);
}

void NativeWindow::ShowCursor(Cursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  XDefineCursor(connection_.Dpy(), window_, cursor);
}

}  // namespace platform::x11
