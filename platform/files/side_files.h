// Side files: a file is replaced whole by writing the new one beside it under
// the name "<name>.~<number>.tmp" and renaming it over the old one. A writer
// holds its side file with share locks that deny deleting for as long as it
// writes, and the locks end with the writer however it ends; so a side file
// that nobody holds is one a writer left behind when it died.
#pragma once

#include <string>

#include "platform/base/types.h"

namespace platform {

// A new side file of `target` (an ANSI name whose links are already
// followed), open for reading and writing and denying every other opener;
// streams made from the handle keep it held after the handle closes. Its
// number is random, so names do not run out. INVALID_HANDLE with
// GetLastError() set when none can be made (the directory refuses, the disk
// is full, every name tried is taken).
HANDLE CreateSideFileA(const char* target, std::string* sideName);

// Deletes the side files of `target` that no live writer holds. Only regular
// files named exactly as this target's side files are touched.
void ReclaimSideFilesA(const char* target);

// Deletes a side file its writer no longer wants, whatever its permission bits.
BOOL DeleteSideFileA(const char* sideName);

}  // namespace platform
