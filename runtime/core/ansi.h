// The runtime's own texts are written here in UTF-8 and handed out in the
// ANSI code page, like every other runtime text.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

std::string Ansi(std::string_view utf8);

}  // namespace runtime
