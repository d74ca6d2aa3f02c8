#include "runtime/forms/loaded_window.h"

#include "platform/windows/window.h"

namespace runtime::forms {

void LoadedWindow::ReleaseDisabled() {
  for (const auto& [window, wasEnabled] : disabled)
    if (platform::IsWindow(window)) platform::EnableWindow(window, wasEnabled);
  disabled.clear();
}

}  // namespace runtime::forms
