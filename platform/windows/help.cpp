#include "platform/windows/help.h"

#include <unistd.h>

#include "platform/base/backend.h"
#include "platform/base/last_error.h"
#include "platform/base/system.h"
#include "platform/text/ansi_text.h"

namespace platform {

BOOL WinHelpA(HWND /*hwnd*/, const char* file, UINT command, uintptr_t data) {
  const auto path = file && *file ? AnsiToOsName(file) : std::nullopt;
  if (!path || access(path->c_str(), R_OK) != 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  return System::Get().GetBackend().ShowHelp(*path, command == HELP_CONTEXT ? static_cast<uint32_t>(data) : 0) ? TRUE
                                                                                                               : FALSE;
}

}  // namespace platform
