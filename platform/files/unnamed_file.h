// Files that no name leads to: scratch space that cannot outlive its process,
// however the process ends.
#pragma once

#include <string_view>

#include "platform/base/types.h"

namespace platform {

// A new empty file in `directory`, open for reading and writing, that has no
// name: it goes when its last handle and mapping close. Where the file system
// cannot make a file without a name, it is made under a fresh name beginning
// with `prefix` and that name is removed before this returns. Returns a
// handle for CloseHandle, or INVALID_HANDLE with GetLastError() set.
HANDLE CreateUnnamedFileA(const char* directory, std::string_view prefix);

}  // namespace platform
