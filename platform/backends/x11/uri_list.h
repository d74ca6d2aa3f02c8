// text/uri-list as file managers send it: the local files it names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::x11 {

// The local paths of the file:// URIs, as bytes after percent-decoding (not
// required to be UTF-8). Lines end in CR LF or LF, the last may have none;
// lines starting with '#' are comments. A host other than none,
// "localhost" or `hostName` is not local; a URI with %00 or a malformed
// escape is skipped, as is every non-file URI.
std::vector<std::string> LocalFilesFromUriList(std::string_view list, std::string_view hostName);

}  // namespace platform::x11
