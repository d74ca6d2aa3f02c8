#include "runtime/core/ansi.h"

#include "platform/text/ansi_text.h"

namespace runtime {

std::string Ansi(std::string_view utf8) {
  auto converted = platform::Utf8ToAnsi(utf8);
  return converted ? *converted : std::string(utf8);
}

}  // namespace runtime
