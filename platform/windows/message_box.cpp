#include "platform/windows/message_box.h"

#include "platform/base/backend.h"
#include "platform/base/system.h"
#include "platform/text/ansi_text.h"

namespace platform {

int MessageBoxA(HWND /*owner*/, const char* text, const char* caption, UINT /*type*/) {
  auto toUtf8 = [](const char* s) {
    if (!s) return std::string();
    auto converted = AnsiToUtf8(s);
    return converted ? *converted : std::string(s);
  };
  System::Get().GetBackend().ShowMessageBox(toUtf8(caption), toUtf8(text));
  return IDOK;
}

}  // namespace platform
