// UTF-8 read and written one code point at a time, strictly: the ANSI side
// and the UTF-16 side both need to know exactly which bytes make a character.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The code point at `text[i]`, advancing `i`; null for an invalid sequence
// (overlong, surrogate, above U+10FFFF, cut short), after which `i` has
// moved past its first byte only.
std::optional<char32_t> DecodeUtf8(std::string_view text, size_t& i);
void AppendUtf8(std::string& out, char32_t c);

}  // namespace platform
