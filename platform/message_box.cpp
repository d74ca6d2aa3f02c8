#include "platform/message_box.h"

#include <cstdio>

#include "platform/ansi_text.h"
#include "platform/backend.h"
#include "platform/system.h"

namespace platform {

std::string PlainLineBreaks(std::string_view text) {
  std::string body;
  body.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    body += text[i];
  }
  return body;
}

void WriteMessageBoxToStderr(std::string_view caption, std::string_view text) {
  const std::string body = PlainLineBreaks(text);
  std::fprintf(stderr, "[%.*s]\n%s\n", static_cast<int>(caption.size()), caption.data(), body.c_str());
  std::fflush(stderr);
}

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
