// The one interface a display backend fills. The rest of the platform talks to
// the backend only through this; no backend header is included outside
// platform/backends/ and the process entry, which chooses one. What a backend
// tells the platform back (moves, the close box, focus, the mouse) goes
// through platform/windows/native_events.h. The interface's own defaults
// are a screen with no display: 1920 x 1080, message boxes on standard error.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "platform/base/types.h"

namespace platform {

// The text a box shows with CR LF line breaks made plain line feeds.
std::string PlainLineBreaks(std::string_view text);
// Writes a box's UTF-8 caption and text to standard error, as every
// backend does whether or not it can show the box.
void WriteMessageBoxToStderr(std::string_view caption, std::string_view text);

// What a native window needs to know of a top-level window. Sent whenever
// any of it may have changed; a backend compares with what it last applied,
// so a change it reported itself comes back as no change.
struct TopLevelState {
  HWND hwnd = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string title;  // UTF-8
  RECT windowRect;    // screen coordinates, frame included
  RECT clientRect;    // screen coordinates
  HWND owner = 0;     // the owner when it is a shown top-level window, else 0
  bool visible = false;
  bool enabled = true;
  bool active = false;
  HICON icon = 0;  // WM_SETICON's big icon, else the class icon; 0: none
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual std::string_view Name() const { return "none"; }
  virtual SIZE ScreenSize() const { return SIZE{1920, 1080}; }
  // Caption and text arrive as UTF-8; returns when the box was closed.
  // `owner`: the top-level window the box belongs to, 0 for none; `stop`:
  // an error's box, shown with the stop sign.
  virtual void ShowMessageBox(std::string_view caption, std::string_view text, HWND /*owner*/, bool /*stop*/) {
    WriteMessageBoxToStderr(caption, text);
  }
  // Shows a readable help file (its OS path) at a topic (0: its contents).
  // False when this display has nothing to show it with.
  virtual bool ShowHelp(const std::string& /*path*/, uint32_t /*topic*/) { return false; }
  // A top-level window was shown, hidden or destroyed.
  virtual void OnTopLevelShown(HWND /*hwnd*/) {}
  virtual void OnTopLevelHidden(HWND /*hwnd*/) {}
  virtual void OnTopLevelDestroyed(HWND /*hwnd*/) {}
  // A top-level window's style, title, rectangles, owner, enabled state or
  // activation may have changed. Called on the window's thread.
  virtual void OnTopLevelChanged(const TopLevelState& /*state*/) {}
  // A top-level window's surface took its first change since it was last
  // presented. Any thread; must be cheap and take no platform lock.
  virtual void OnSurfaceDamaged(HWND /*hwnd*/) {}
  // Called on the GUI thread when its queue is empty: reads the display's
  // events and presents damaged surfaces. Returns true when it produced work
  // (posted messages, ran a drop); false when it has none now.
  virtual bool PumpEvents() { return false; }
  // Waits up to `limit` for display events or Wake, on a thread whose queue
  // is empty. False when this backend has nothing to wait on from this
  // thread; the caller then waits on its queue as usual.
  virtual bool WaitForEvents(std::chrono::milliseconds /*limit*/) { return false; }
  // Ends a WaitForEvents early: a message was posted or sent. Any thread.
  virtual void Wake() {}
  // The display went away while the program ran: it ended early, without it.
  virtual bool DisplayLost() const { return false; }
  // Called once after the program has returned. False when the backend could
  // not do what the command line asked of it (it has said why on standard
  // error); the process then does not end with success.
  virtual bool FinishRun() { return true; }
};

// The screen size the backend reports.
SIZE ScreenSize();

}  // namespace platform
