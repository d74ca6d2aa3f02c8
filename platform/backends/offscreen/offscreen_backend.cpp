#include "platform/backends/offscreen/offscreen_backend.h"

#include <cstdio>
#include <string>

namespace platform {

void OffscreenBackend::ShowMessageBox(std::string_view caption, std::string_view text) {
  // The terminal wants plain line feeds.
  std::string body;
  body.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    body += text[i];
  }
  std::fprintf(stderr, "[%.*s]\n%s\n", static_cast<int>(caption.size()), caption.data(), body.c_str());
  std::fflush(stderr);
}

}  // namespace platform
