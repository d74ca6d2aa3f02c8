// Buffered C streams on files named in the ANSI code page, for the code that
// hands a FILE* to an image library.
#pragma once

#include <cstdio>

#include "platform/base/types.h"

namespace platform {

// Mode "rb" opens an existing file for reading, "wb" creates or truncates one
// for writing; both let other openers read and write. Null on failure, with
// GetLastError() set.
FILE* OpenFileStreamA(const char* ansiName, const char* mode);

// A stream on the file behind an open handle (its own descriptor of the same
// open file, so the handle may be closed at once). Null on failure.
FILE* FileStreamFromHandle(HANDLE file, const char* mode);

}  // namespace platform
