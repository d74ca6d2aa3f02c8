#include "runtime/imageconv/pixel_store.h"

#include <cstdint>
#include <string>

#include "platform/files/files.h"

namespace runtime::imageconv {
namespace {

using namespace platform;

// Numbers tried for a temporary name; past this the directory counts as full.
constexpr int64_t kLastStoreNumber = 2047483647;

constexpr DWORD kStoreAccess = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kStoreSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

// Creates the first free prefix + n + ".tmp" with create-if-absent, so that
// two processes choosing at the same moment can never take the same name.
HANDLE CreateFreshStoreFile(std::string_view prefix, std::string* name) {
  auto directory = TemporaryDirectory();
  if (!directory) return INVALID_HANDLE;
  for (int64_t n = 0; n <= kLastStoreNumber; ++n) {
    std::string candidate = *directory;
    candidate.append(prefix).append(std::to_string(n)).append(".tmp");
    HANDLE file = CreateFileA(candidate.c_str(), kStoreAccess, kStoreSharing, CREATE_NEW,
                              FILE_ATTRIBUTE_HIDDEN);
    if (file != INVALID_HANDLE) {
      *name = std::move(candidate);
      return file;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return INVALID_HANDLE;
  }
  return INVALID_HANDLE;
}

}  // namespace

std::optional<std::string> TemporaryDirectory() {
  std::string directory = GetTempPathA();
  if (directory.empty()) return std::nullopt;
  std::string bare = directory;
  while (bare.size() > 1 && bare.back() == '/') bare.pop_back();
  FindData found;
  HANDLE search = FindFirstFileA(bare.c_str(), &found);
  if (search == INVALID_HANDLE) return std::nullopt;
  FindClose(search);
  if (!(found.attributes & FILE_ATTRIBUTE_DIRECTORY) && bare != "/") return std::nullopt;
  if (directory.back() != '/') directory.push_back('/');
  return directory;
}

bool PixelStore::Allocate(size_t size, std::string_view prefix, const char* name) {
  if (size == 0) {
    Release(true);
    return false;
  }
  Release(false);
  if (prefix.empty()) return false;

  std::string fileName;
  if (name && *name) {
    fileName = name;
    DeleteFileA(fileName.c_str());
    file_.Reset(CreateFileA(fileName.c_str(), kStoreAccess, kStoreSharing, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_HIDDEN));
  } else {
    file_.Reset(CreateFreshStoreFile(prefix, &fileName));
  }
  if (!file_.IsValid()) return false;
  fileName_ = std::move(fileName);
  size_ = size;

  mapping_.Reset(CreateFileMappingA(file_.Get(), PAGE_READWRITE, size));
  if (mapping_.IsValid()) view_ = MapViewOfFile(mapping_.Get(), FILE_MAP_WRITE, 0, 0);
  if (!view_) {
    Release(true);
    return false;
  }
  return true;
}

void PixelStore::Release(bool deleteFile) {
  UnmapViewOfFile(view_);
  mapping_.Reset();
  file_.Reset();
  if (deleteFile && !fileName_.empty()) DeleteFileA(fileName_.c_str());
  fileName_.clear();
  size_ = 0;
}

bool PixelStore::Flush() const {
  return view_ && FlushViewOfFile(view_.Address(), size_);
}

}  // namespace runtime::imageconv
