// No display: windows live in memory, and message boxes go to standard error
// as the backend interface does by default.
// Run from the command line, the shell plays its script on the first window.
#pragma once

#include "platform/backends/offscreen/offscreen_shell.h"
#include "platform/base/backend.h"

namespace platform {

class OffscreenBackend : public Backend {
 public:
  // Without a script nothing drives the windows (the tests' default).
  OffscreenBackend() = default;
  explicit OffscreenBackend(ShellScript script) { shell_.Start(std::move(script)); }

  // Arms the shell anew: the next top-level window shown is its target.
  void StartShell(ShellScript script) { shell_.Start(std::move(script)); }
  // Disarms it: no window is driven from here on.
  void StopShell() { shell_.Stop(); }

  std::string_view Name() const override { return "offscreen"; }
  void OnTopLevelShown(HWND hwnd) override { shell_.OnShown(hwnd); }
  void OnTopLevelDestroyed(HWND hwnd) override { shell_.OnDestroyed(hwnd); }
  bool PumpEvents() override { return shell_.Step(); }
  bool FinishRun() override { return shell_.Finish(); }

 private:
  OffscreenShell shell_;
};

}  // namespace platform
