#include "platform/windows/message_box.h"

#include "platform/base/backend.h"
#include "platform/base/system.h"
#include "platform/text/ansi_text.h"
#include "platform/windows/window.h"

namespace platform {
namespace {

constexpr UINT kIconMask = 0x000000F0;

}  // namespace

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  auto toUtf8 = [](const char* s) {
    if (!s) return std::string();
    auto converted = AnsiToUtf8(s);
    return converted ? *converted : std::string(s);
  };
  System::Get().GetBackend().ShowMessageBox(toUtf8(caption), toUtf8(text), owner ? GetAncestorRoot(owner) : 0,
                                            (type & kIconMask) == MB_ICONSTOP);
  return IDOK;
}

}  // namespace platform
