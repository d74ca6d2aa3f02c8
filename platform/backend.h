// The one interface a display backend fills. The rest of the platform talks to
// the backend only through this; no backend header is included elsewhere.
#pragma once

#include <string_view>

#include "platform/types.h"

namespace platform {

class Backend {
 public:
  virtual ~Backend() = default;
  virtual std::string_view Name() const = 0;
  virtual SIZE ScreenSize() const = 0;
  // Caption and text arrive as UTF-8; returns when the box was closed.
  virtual void ShowMessageBox(std::string_view caption, std::string_view text) = 0;
  // A top-level window was shown, hidden or destroyed.
  virtual void OnTopLevelShown(HWND /*hwnd*/) {}
  virtual void OnTopLevelHidden(HWND /*hwnd*/) {}
  virtual void OnTopLevelDestroyed(HWND /*hwnd*/) {}
  // Called on the GUI thread when its queue is empty. Returns true when it
  // produced work (posted messages, ran a drop); false when it has none now.
  virtual bool PumpEvents() { return false; }
  // Called once after the program has returned. False when the backend could
  // not do what the command line asked of it (it has said why on standard
  // error); the process then does not end with success.
  virtual bool FinishRun() { return true; }
};

// The screen size the backend reports.
SIZE ScreenSize();

}  // namespace platform
