// The offscreen shell: once the first top-level window has been shown and
// its thread has nothing left to do, it drops the listed files, writes the
// screenshot and closes the window as its close box would.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/shell_script.h"
#include "platform/base/types.h"

namespace platform {

class OffscreenShell {
 public:
  void Start(ShellScript script);
  void Stop();
  void OnShown(HWND hwnd);
  void OnDestroyed(HWND hwnd);
  // One step of the script, on the target window's thread when that thread
  // is idle; true when it made work. Never runs inside itself.
  bool Step();
  // False when the screenshot asked for was not written.
  bool Finish();

 private:
  enum class Stage { Off, Waiting, Dropping, Screenshot, Closed };

  void Drop(HWND target, const DropRequest& drop);
  bool WriteScreenshot(HWND target);

  std::mutex mutex_;
  Stage stage_ = Stage::Off;
  ShellScript script_;
  HWND target_ = 0;
  std::thread::id thread_;
  size_t nextDrop_ = 0;
  bool running_ = false;  // a step is under way on the target's thread
  bool screenshotWritten_ = false;
  bool failed_ = false;
};

}  // namespace platform
