// A real window on X11: each shown top-level window is an X window showing
// its surface; the GUI thread sleeps on the display connection when idle.
// Xlib is used only from the thread that opened the connection.
#pragma once

#include <map>
#include <memory>
#include <thread>

#include "platform/backends/x11/x11_connection.h"
#include "platform/backends/x11/x11_cursor.h"
#include "platform/backends/x11/x11_native_window.h"
#include "platform/base/backend.h"

namespace platform::x11 {

class DropTarget;

class X11Backend : public Backend {
 public:
  // Null when no display can be opened ($DISPLAY when `display` is null).
  static std::unique_ptr<X11Backend> Open(const char* display = nullptr);
  ~X11Backend() override;

  std::string_view Name() const override { return "x11"; }
  SIZE ScreenSize() const override;
  void ShowMessageBox(std::string_view caption, std::string_view text, HWND owner, bool stop) override;
  bool ShowHelp(const std::string& path, uint32_t topic) override;  // x11_help.cpp
  void OnTopLevelDestroyed(HWND hwnd) override;
  void OnTopLevelChanged(const TopLevelState& state) override;
  void OnSurfaceDamaged(HWND hwnd) override;
  bool PumpEvents() override;
  bool WaitForEvents(std::chrono::milliseconds limit) override;
  void Wake() override { connection_->Wake(); }
  bool DisplayLost() const override { return connection_->Lost(); }

  // The native window of a top-level window; 0 when it has none (tests).
  ::Window NativeId(HWND hwnd) const;
  // The cursor last shown over a top-level window (0: none yet) and how its
  // X cursor was made (tests: Xlib cannot read a window's cursor back).
  HCURSOR ShownCursor(HWND hwnd) const;
  const CursorCache& Cursors() const { return *cursors_; }

 private:
  explicit X11Backend(std::unique_ptr<Connection> connection);
  bool OnGuiThread() const { return std::this_thread::get_id() == thread_; }
  // True when the event may have posted messages or changed windows.
  bool Handle(XEvent& event);
  void HandleMouse(NativeWindow& window, const XEvent& event);
  NativeWindow* FindNative(::Window id);
  void ShowCursor(NativeWindow& window, HCURSOR cursor);
  void PresentAll();

  std::unique_ptr<Connection> connection_;
  std::thread::id thread_;
  std::map<HWND, std::unique_ptr<NativeWindow>> windows_;
  std::unique_ptr<CursorCache> cursors_;
  std::map<HWND, HCURSOR> shown_;
  HWND pointerOver_ = 0;  // the window the last pointer motion was over
  std::unique_ptr<DropTarget> drops_;
  bool pumping_ = false;
};

}  // namespace platform::x11
