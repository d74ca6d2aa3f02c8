#include "runtime/imageconv/pixel_store.h"

#include <cstdint>
#include <string>
#include <utility>

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
    HANDLE file = CreateFileA(candidate.c_str(), kStoreAccess, kStoreSharing, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN);
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
  Release(size == 0);
  if (size == 0 || prefix.empty()) return false;

  Held fresh;
  if (name && *name) {
    DeleteFileA(name);
    fresh.file = ScopedHandle(CreateFileA(name, kStoreAccess, kStoreSharing, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN));
    fresh.fileName = name;
  } else {
    fresh.file = ScopedHandle(CreateFreshStoreFile(prefix, &fresh.fileName));
  }
  if (!fresh.file.IsValid()) return false;
  fresh.size = size;
  fresh.mapping = ScopedHandle(CreateFileMappingA(fresh.file.Get(), PAGE_READWRITE, size));
  if (fresh.mapping.IsValid()) fresh.view = MapViewOfFile(fresh.mapping.Get(), FILE_MAP_WRITE, 0, 0);
  held_ = std::move(fresh);
  if (held_.view) return true;
  Release(true);  // the file was made: a failure leaves none behind
  return false;
}

void PixelStore::Release(bool deleteFile) {
  // The old view, mapping and file are freed at the end of this statement,
  // before the file is deleted: an open store file cannot be deleted.
  const std::string name = std::exchange(held_, Held()).fileName;
  if (deleteFile && !name.empty()) DeleteFileA(name.c_str());
}

bool PixelStore::Flush() const { return held_.view && FlushViewOfFile(held_.view.Address(), held_.size); }

}  // namespace runtime::imageconv
