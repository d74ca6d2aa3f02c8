#include "runtime/units/window/window_help.h"

#include "platform/windows/help.h"
#include "runtime/core/application.h"

namespace runtime::units::window {

std::string HelpFileOf(const WindowBlock& block, std::string_view programDirectory, std::string_view programFile) {
  if (!block.helpFile.empty()) return block.helpFile;
  std::string_view stem = programFile;
  if (const size_t dot = stem.rfind('.'); dot != std::string_view::npos && dot > 0) stem = stem.substr(0, dot);
  std::string path(programDirectory);
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  path += stem;
  path += ".hlp";
  return path;
}

bool OpenHelp(platform::HWND hwnd, const WindowBlock& block) {
  const Application& app = App();
  const std::string file = HelpFileOf(block, app.programDirectory, app.programFileName);
  if (block.helpContext != 0)
    return platform::WinHelpA(hwnd, file.c_str(), platform::HELP_CONTEXT, static_cast<uint32_t>(block.helpContext));
  return platform::WinHelpA(hwnd, file.c_str(), platform::HELP_FINDER, 0);
}

}  // namespace runtime::units::window
