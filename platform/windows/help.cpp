#include "platform/windows/help.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "platform/base/backend.h"
#include "platform/base/last_error.h"
#include "platform/base/system.h"
#include "platform/text/ansi_text.h"

namespace platform {

BOOL WinHelpA(HWND /*hwnd*/, const char* file, UINT command, uintptr_t data) {
  const auto name = file && *file ? AnsiToOsName(file) : std::nullopt;
  // Absolute, so a name that begins with '-' never reads as an option to
  // whatever the backend hands it to.
  std::unique_ptr<char, decltype(&std::free)> path(name ? realpath(name->c_str(), nullptr) : nullptr, &std::free);
  struct stat info {};
  if (!path || stat(path.get(), &info) != 0 || !S_ISREG(info.st_mode) || access(path.get(), R_OK) != 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  const uint32_t topic = command == HELP_CONTEXT ? static_cast<uint32_t>(data) : 0;
  return System::Get().GetBackend().ShowHelp(path.get(), topic) ? TRUE : FALSE;
}

}  // namespace platform
