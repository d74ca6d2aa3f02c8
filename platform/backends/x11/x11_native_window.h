// A top-level window's native X window: made on first show from the window's
// state, kept in step with it, and showing its surface's damaged parts.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <optional>

#include "platform/backends/x11/x11_connection.h"
#include "platform/backends/x11/x11_frame_extents.h"
#include "platform/base/backend.h"
#include "platform/gdi/raster/surface.h"

namespace platform::x11 {

class NativeWindow {
 public:
  NativeWindow(Connection& connection, const TopLevelState& state, ::Window transientFor);
  ~NativeWindow();
  NativeWindow(const NativeWindow&) = delete;
  NativeWindow& operator=(const NativeWindow&) = delete;

  ::Window Id() const { return window_; }
  HWND Hwnd() const { return state_.hwnd; }
  const TopLevelState& State() const { return state_; }

  // Applies what differs from the state last applied or reported.
  void Apply(const TopLevelState& state, ::Window transientFor);
  // The server moved or resized it: records the new client rectangle and
  // returns true when it differs from the one known.
  bool NoteConfigured(const RECT& clientOnScreen);
  void NoteExposed(const RECT& area);
  // The manager's frame sizes (_NET_FRAME_EXTENTS) may have changed. A
  // window it placed before they were known is placed anew.
  void NoteFrameExtents();
  // Puts the surface's damaged parts and the exposed area on the screen.
  void Present(Surface& surface);
  // The cursor shown over the client area.
  void ShowCursor(Cursor cursor);

 private:
  void ApplyTitle();
  void ApplyHints(::Window transientFor);
  // Who runs it: _NET_WM_PID and WM_CLIENT_MACHINE.
  void ApplyProcessHints();
  void ApplyIcon();
  // Asks a running manager for its frame's sizes before the first map and
  // waits a little for them; true when a manager runs.
  bool AwaitFrameExtents();
  // A client message about this window to the window manager, on the root.
  void AskWindowManager(::Atom type, long l0, long l1, long l3);

  Connection& connection_;
  ::Window window_ = 0;
  GC gc_ = nullptr;
  TopLevelState state_;
  ::Window transientFor_ = 0;
  bool mapped_ = false;
  RECT exposed_{};
  Cursor cursor_ = 0;
  std::optional<FrameExtents> extents_;
  // Mapped under a manager before its frame's sizes were known: placed as
  // asked for then, and again once they come.
  std::optional<TopLevelState> placedWithoutExtents_;
};

}  // namespace platform::x11
