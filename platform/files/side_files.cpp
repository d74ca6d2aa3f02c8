#include "platform/files/side_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <random>
#include <string_view>

#include "platform/files/files.h"
#include "platform/files/share_locks.h"
#include "platform/text/ansi_text.h"

namespace platform {
namespace {

// Random names collide so rarely that this many refusals mean the directory
// refuses every name.
constexpr int kNameAttempts = 64;
// The longest number a side file's name carries: 2^64 - 1.
constexpr size_t kMostDigits = 20;

// `name` is one of the names a side file of `target` has.
bool IsSideFileOf(std::string_view name, std::string_view target) {
  constexpr std::string_view kInfix = ".~", kSuffix = ".tmp";
  if (name.size() <= target.size() + kInfix.size() + kSuffix.size() || !name.starts_with(target) ||
      !name.ends_with(kSuffix))
    return false;
  name.remove_prefix(target.size());
  name.remove_suffix(kSuffix.size());
  if (!name.starts_with(kInfix)) return false;
  name.remove_prefix(kInfix.size());
  if (name.empty() || name.size() > kMostDigits) return false;
  for (char c : name)
    if (c < '0' || c > '9') return false;
  return true;
}

// The file behind `file` still has the name: a reclaimer that looked at the
// name before the file's locks were taken may have removed it.
bool StillNamed(HANDLE file, const std::string& osName) {
  struct stat opened {};
  struct stat named {};
  return fstat(FileDescriptorOf(file), &opened) == 0 && stat(osName.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Deletes the regular file `path` when no opener denies deleting it.
void DeleteUnheld(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st {};
  // The announcement holds until the name is gone, so that no writer takes
  // the file between the look and the unlink.
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && MayDelete(fd)) ::unlink(path.c_str());
  ::close(fd);
}

}  // namespace

HANDLE CreateSideFileA(const char* target, std::string* sideName) {
  if (!target || !*target || !sideName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE;
  }
  std::random_device random;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const uint64_t number = (uint64_t{random()} << 32) | random();
    std::string name = std::string(target) + ".~" + std::to_string(number) + ".tmp";
    HANDLE file = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
    if (file == INVALID_HANDLE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS) continue;
      if (error != ERROR_SHARING_VIOLATION) return INVALID_HANDLE;
      // A reclaimer looked at the file as it was made: it is ours to remove.
      DeleteSideFileA(name.c_str());
      continue;
    }
    auto osName = AnsiToOsName(name);
    if (osName && StillNamed(file, *osName)) {
      *sideName = std::move(name);
      return file;
    }
    CloseHandle(file);
  }
  SetLastError(ERROR_FILE_EXISTS);
  return INVALID_HANDLE;
}

void ReclaimSideFilesA(const char* target) {
  auto path = target && *target ? AnsiToOsName(target) : std::nullopt;
  if (!path) return;
  const size_t slash = path->find_last_of('/');
  const std::string directory = slash == std::string::npos ? "./" : path->substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? *path : path->substr(slash + 1);
  if (name.empty()) return;
  DIR* dir = opendir(directory.c_str());
  if (!dir) return;
  while (const dirent* entry = readdir(dir)) {
    if (IsSideFileOf(entry->d_name, name)) DeleteUnheld(directory + entry->d_name);
  }
  closedir(dir);
}

BOOL DeleteSideFileA(const char* sideName) {
  auto path = sideName && *sideName ? AnsiToOsName(sideName) : std::nullopt;
  if (!path) return Fail(ERROR_INVALID_NAME);
  if (::unlink(path->c_str()) != 0) return Fail(ErrorFromErrno(errno));
  return TRUE;
}

}  // namespace platform
