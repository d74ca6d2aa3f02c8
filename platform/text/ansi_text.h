// platform/text: the ANSI code page and the conversions. The ANSI code page
// is GB18030 (a superset of GBK): every GBK byte string keeps its meaning and
// every Unicode file name round-trips. A-string calls convert their names at
// the OS boundary with the file-name pair below; text_conversion.h converts
// between byte strings and UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Text, character for character. Null when the bytes are not valid in the
// source encoding or a character has no form in the target.
std::optional<std::string> AnsiToUtf8(std::string_view ansi);
std::optional<std::string> Utf8ToAnsi(std::string_view utf8);

// File names. The OS takes any bytes for a name, UTF-8 or not (old archives
// and disks written under GBK hold raw GBK bytes); the runtime's name for it
// is ANSI. Valid UTF-8 converts as text does; every other byte (one that is
// no part of a valid UTF-8 character, or of one GB18030 has no form for)
// stands in ANSI as one private-use code point, U+10FE00 + the byte, and
// becomes that byte again on the way back (see ansi_text.cpp).
// Every OS name has exactly one ANSI name, and back. Null only when the
// system has no GB18030 converter.
std::optional<std::string> OsNameToAnsi(std::string_view osName);
// Null when `ansi` is not GB18030, or when it holds escaped bytes that no
// OS name would give (bytes that together make a character have their ANSI
// name in that character; the other spelling is refused, not aliased).
std::optional<std::string> AnsiToOsName(std::string_view ansi);

}  // namespace platform
