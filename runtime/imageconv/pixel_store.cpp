#include "runtime/imageconv/pixel_store.h"

#include <cstdint>
#include <string>
#include <utility>

#include "platform/files/files.h"
#include "platform/files/unnamed_file.h"

namespace runtime::imageconv {
namespace {

using namespace platform;

constexpr DWORD kStoreAccess = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kStoreSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

// A file without a name in the temporary directory: no other store can reach
// it, and a process that dies leaves nothing behind.
HANDLE CreateFreshStoreFile(std::string_view prefix) {
  auto directory = TemporaryDirectory();
  if (!directory) return INVALID_HANDLE;
  return CreateUnnamedFileA(directory->c_str(), prefix);
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
    fresh.file = ScopedHandle(CreateFreshStoreFile(prefix));
  }
  if (!fresh.file.IsValid()) return false;
  fresh.size = size;
  fresh.mapping = ScopedHandle(CreateFileMappingA(fresh.file.Get(), PAGE_READWRITE, size));
  if (fresh.mapping.IsValid()) fresh.view = MapViewOfFile(fresh.mapping.Get(), FILE_MAP_WRITE, 0, 0);
  // Every store is written whole by its reader.
  if (fresh.view) PrefetchViewForWriting(fresh.view.Address(), size);
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
