// Replacing a file whole by writing a new one beside it and renaming it over
// the old one: where the new file belongs, what it takes over from the old
// one, and that its data are on the disk before the rename.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace platform {

// The file that writing to `ansiName` reaches: symbolic links in its last
// component are followed to the last link's target, which need not exist.
// The name itself when it is no link. Null when the links cannot be followed
// (a loop, a link that cannot be read).
std::optional<std::string> ResolveLinksA(const char* ansiName);

// True when nothing is at `ansiName` (links followed), or this process could
// open what is there for writing. A file it could not write is not replaced:
// a rename would replace it all the same.
bool MayReplaceA(const char* ansiName);

// Gives the file behind `stream` the permission bits of the regular file
// `ansiName`. True also when no file has that name: the stream's file then
// keeps its creation mode.
bool TakeOverPermissionsA(FILE* stream, const char* ansiName);

// Writes out the stream's buffer and forces its file's data to the disk.
bool FlushToDisk(FILE* stream);

}  // namespace platform
