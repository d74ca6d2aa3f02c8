#include "runtime/core/services/find_file.h"

#include "platform/files/files.h"
#include "runtime/core/application.h"
#include "runtime/core/memory.h"

namespace runtime::services {
namespace {

constexpr uint32_t kCountedAttributes = 0x37;

bool Matches(const platform::FindData& entry, uint32_t mask, bool filesOnly) {
  if (filesOnly) return !(entry.attributes & platform::FILE_ATTRIBUTE_DIRECTORY);
  uint32_t counted = mask & kCountedAttributes;
  if (counted == 0) return (entry.attributes & kCountedAttributes) == 0 && mask == 0 && entry.attributes == 0;
  return (entry.attributes & counted) != 0;
}

}  // namespace

char* FindFile(const char* pattern, uint32_t mask, bool filesOnly, uint32_t* handle) {
  uint32_t& search = handle ? *handle : App().findHandle;
  platform::FindData entry;
  bool found;
  if (pattern && *pattern) {
    CloseFind(search);
    search = platform::FindFirstFileA(pattern, &entry);
    if (search == platform::INVALID_HANDLE) {
      search = 0;
      return nullptr;
    }
    found = true;
  } else {
    if (!search) return nullptr;
    found = platform::FindNextFileA(search, &entry);
  }
  while (found) {
    if (Matches(entry, mask, filesOnly)) return CopyText(entry.name);
    found = platform::FindNextFileA(search, &entry);
  }
  CloseFind(search);
  search = 0;
  return nullptr;
}

void CloseFind(uint32_t handle) {
  if (handle) platform::FindClose(handle);
}

}  // namespace runtime::services
