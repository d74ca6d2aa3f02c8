// The texts a drop's events carry, made from what the data object gave.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/types.h"

namespace runtime::units::drop_object {

// The text in a global block: up to its first NUL, or its whole size when
// it has none. Empty for a bad block.
std::string GlobalText(platform::HGLOBAL block);

// Every name of a CF_HDROP block, in the ANSI code page.
std::vector<std::string> DroppedFileNames(platform::HGLOBAL drop);

// One name alone; several each followed by CR LF; none the empty text.
std::string JoinFileNames(const std::vector<std::string>& names);

// UTF-8 HTML text in the ANSI code page, with every no-break space
// (U+00A0) made a plain space.
std::string HtmlText(std::string_view utf8);

}  // namespace runtime::units::drop_object
