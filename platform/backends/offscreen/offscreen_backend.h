// No display: windows live in memory, message boxes go to standard error.
#pragma once

#include "platform/backend.h"

namespace platform {

class OffscreenBackend : public Backend {
 public:
  std::string_view Name() const override { return "offscreen"; }
  SIZE ScreenSize() const override { return SIZE{1920, 1080}; }
  void ShowMessageBox(std::string_view caption, std::string_view text) override;
};

}  // namespace platform
