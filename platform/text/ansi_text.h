// platform/text: the ANSI code page and the conversions. The ANSI code page
// is GB18030 (a superset of GBK): every GBK byte string keeps its meaning and
// every Unicode file name round-trips. A-string calls convert to UTF-8 at the
// OS boundary; text_conversion.h converts between byte strings and UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Null when the bytes are not valid in the source encoding.
std::optional<std::string> AnsiToUtf8(std::string_view ansi);
std::optional<std::string> Utf8ToAnsi(std::string_view utf8);

}  // namespace platform
