// Numbered services 0 and 1: walking the entries that match a pattern.
#pragma once

#include <cstdint>

namespace runtime::services {

// `pattern` empty continues the search in *handle. Returns the next matching
// entry's name as a new text, or null when there is none (the search is then
// closed and *handle cleared). With `filesOnly` every entry that is not a
// directory matches; otherwise an entry matches when its attributes share a
// bit with `mask` (read-only, hidden, system, directory and archive count).
char* FindFile(const char* pattern, uint32_t mask, bool filesOnly, uint32_t* handle);
void CloseFind(uint32_t handle);

}  // namespace runtime::services
