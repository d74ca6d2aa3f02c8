#include "platform/base/backend.h"

#include <cstdio>
#include <string>

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

}  // namespace platform
