#include "platform/files/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/base/system.h"
#include "platform/files/file_object.h"
#include "platform/files/share_locks.h"
#include "platform/text/ansi_text.h"
#include "platform/text/utf8.h"

namespace platform {
namespace {

// The name as the OS takes it, or null (ERROR_INVALID_NAME / PATH_NOT_FOUND set).
std::optional<std::string> OsName(const char* ansi) {
  if (!ansi || !*ansi) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return std::nullopt;
  }
  auto name = AnsiToOsName(ansi);
  if (!name) SetLastError(ERROR_INVALID_NAME);
  return name;
}

class FindSearch : public HandleObject {
 public:
  FindSearch(DIR* dir, std::string directory, std::string pattern)
      : dir_(dir), directory_(std::move(directory)), pattern_(std::move(pattern)) {}
  ~FindSearch() override { closedir(dir_); }
  bool Next(FindData* data);

 private:
  DIR* dir_;
  std::string directory_;  // as the OS names it, ends in '/'
  std::string pattern_;    // as the OS names it
};

std::shared_ptr<FileObject> FileOf(HANDLE file) {
  return System::Get().Handles().Get<FileObject>(file, ObjectKind::File);
}

// A UTF-8 character, or one byte that is none (a character of its own in
// the name's ANSI form).
size_t CharacterLength(std::string_view name, size_t at) {
  size_t next = at;
  DecodeUtf8(name, next);
  return next - at;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Wildcards as the desktop OS knows them: '*' any run, '?' one character;
// ASCII letters match without regard to case.
bool WildcardMatch(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += CharacterLength(name, n);
    } else if (p < pattern.size() && FoldAscii(pattern[p]) == FoldAscii(name[n])) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      starN += CharacterLength(name, starN);
      n = starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// As the desktop's find-file: a final ".*" also matches the end of a name
// without a dot, so "*.*" lists every name and "readme.*" finds "readme".
bool FindPatternMatch(std::string_view pattern, std::string_view name) {
  if (WildcardMatch(pattern, name)) return true;
  return pattern.size() >= 2 && pattern.ends_with(".*") && name.find('.') == std::string_view::npos &&
         WildcardMatch(pattern.substr(0, pattern.size() - 2), name);
}

DWORD AttributesOf(const struct stat& st, std::string_view name) {
  DWORD attributes = 0;
  if (S_ISDIR(st.st_mode))
    attributes |= FILE_ATTRIBUTE_DIRECTORY;
  else
    attributes |= FILE_ATTRIBUTE_ARCHIVE;
  if ((st.st_mode & 0222) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes;
}

bool FindSearch::Next(FindData* data) {
  while (dirent* entry = readdir(dir_)) {
    std::string_view name(entry->d_name);
    if (!FindPatternMatch(pattern_, name)) continue;
    struct stat st {};
    std::string full = directory_ + std::string(name);
    if (stat(full.c_str(), &st) != 0 && lstat(full.c_str(), &st) != 0) continue;
    auto ansi = OsNameToAnsi(name);
    if (!ansi) continue;
    data->attributes = AttributesOf(st, name);
    data->size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    data->name = std::move(*ansi);
    return true;
  }
  return false;
}

}  // namespace

HANDLE CreateFileA(const char* name, DWORD access, DWORD shareMode, DWORD disposition, DWORD attributes) {
  auto path = OsName(name);
  if (!path) return INVALID_HANDLE;
  const bool reading = access & GENERIC_READ;
  const bool writing = access & GENERIC_WRITE;

  int flags = O_CLOEXEC;
  switch (disposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING: break;
    default: Fail(ERROR_INVALID_PARAMETER); return INVALID_HANDLE;
  }
  const bool truncate = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
  if (truncate && !writing) {
    Fail(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE;
  }
  // Writers open read-write where they may, so that they can hold share locks.
  // O_NONBLOCK keeps a FIFO or a device from blocking the open; only regular
  // files are taken.
  flags |= O_NONBLOCK | O_NOCTTY;
  if (attributes & FILE_FLAG_OPEN_REPARSE_POINT) flags |= O_NOFOLLOW;
  int fd = -1;
  bool canLock = true;
  if (writing) {
    fd = ::open(path->c_str(), flags | O_RDWR, 0666);
    if (fd < 0 && errno == EACCES && !reading) {
      fd = ::open(path->c_str(), flags | O_WRONLY, 0666);
      canLock = false;
    }
  } else {
    fd = ::open(path->c_str(), flags | O_RDONLY, 0666);
  }
  if (fd < 0) {
    Fail(errno == ENXIO ? ERROR_ACCESS_DENIED : ErrorFromErrno(errno));
    return INVALID_HANDLE;
  }
  auto object = std::make_shared<FileObject>(fd);
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || fcntl(fd, F_SETFL, 0) != 0) {
    Fail(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE;
  }

  const ShareRequest request{.reading = reading,
                             .writing = writing,
                             .deniesRead = !(shareMode & FILE_SHARE_READ),
                             .deniesWrite = !(shareMode & FILE_SHARE_WRITE),
                             .deniesDelete = !(shareMode & FILE_SHARE_DELETE)};
  if (!TakeShareLocks(fd, request, canLock)) {
    Fail(ERROR_SHARING_VIOLATION);
    return INVALID_HANDLE;
  }
  if (truncate && ftruncate(fd, 0) != 0) {
    Fail(ErrorFromErrno(errno));
    return INVALID_HANDLE;
  }
  Handle handle = System::Get().Handles().Add(ObjectKind::File, object);
  if (!handle) {
    Fail(ERROR_NOT_ENOUGH_MEMORY);
    return INVALID_HANDLE;
  }
  SetLastError((disposition == OPEN_ALWAYS || disposition == CREATE_ALWAYS) ? 0 : ERROR_SUCCESS);
  return handle;
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read) {
  if (read) *read = 0;
  auto object = FileOf(file);
  if (!object) return Fail(ERROR_INVALID_HANDLE);
  DWORD total = 0;
  auto* out = static_cast<uint8_t*>(buffer);
  while (total < toRead) {
    ssize_t n = ::read(object->fd(), out + total, toRead - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (read) *read = total;
      return Fail(ErrorFromErrno(errno));
    }
    if (n == 0) break;
    total += static_cast<DWORD>(n);
  }
  if (read) *read = total;
  return TRUE;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written) {
  if (written) *written = 0;
  auto object = FileOf(file);
  if (!object) return Fail(ERROR_INVALID_HANDLE);
  DWORD total = 0;
  const auto* in = static_cast<const uint8_t*>(buffer);
  while (total < toWrite) {
    ssize_t n = ::write(object->fd(), in + total, toWrite - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (written) *written = total;
      return Fail(ErrorFromErrno(errno));
    }
    total += static_cast<DWORD>(n);
  }
  if (written) *written = total;
  return TRUE;
}

int64_t GetFileSizeEx(HANDLE file) {
  auto object = FileOf(file);
  if (!object) return Fail(ERROR_INVALID_HANDLE), -1;
  struct stat st {};
  if (fstat(object->fd(), &st) != 0) return Fail(ErrorFromErrno(errno)), -1;
  return st.st_size;
}

int64_t SetFilePointerEx(HANDLE file, int64_t distance, int origin) {
  auto object = FileOf(file);
  if (!object) return Fail(ERROR_INVALID_HANDLE), -1;
  int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
  off_t position = lseek(object->fd(), static_cast<off_t>(distance), whence);
  if (position < 0) return Fail(ERROR_INVALID_PARAMETER), -1;
  return position;
}

int FileDescriptorOf(HANDLE file) {
  auto object = FileOf(file);
  return object ? object->fd() : -1;
}

BOOL CloseHandle(HANDLE handle) {
  HandleTable& table = System::Get().Handles();
  auto kind = table.KindOf(handle);
  if (!kind) return Fail(ERROR_INVALID_HANDLE);
  auto object = table.Remove(handle, *kind);
  if (*kind == ObjectKind::File) {
    // The table held the only lasting reference (mappings and streams own
    // duplicates of the descriptor), so the close and its result are ours:
    // a file system may report a failed write only here.
    auto file = std::static_pointer_cast<FileObject>(std::move(object));
    if (file.use_count() == 1 && !file->Close()) return Fail(ErrorFromErrno(errno));
  }
  return TRUE;
}

BOOL DeleteFileA(const char* name) {
  auto path = OsName(name);
  if (!path) return FALSE;
  struct stat st {};
  if (lstat(path->c_str(), &st) != 0) return Fail(ErrorFromErrno(errno));
  if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  // A link is deleted as itself; its target's attributes and openers do not
  // concern it.
  const bool link = S_ISLNK(st.st_mode);
  if (!link && (st.st_mode & 0222) == 0) return Fail(ERROR_ACCESS_DENIED);  // read-only
  // Held open until the name is gone, so that no opener that denies deleting
  // slips in between the check and the unlink.
  FileObject announcement(link ? -1 : ::open(path->c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
  if (announcement.fd() >= 0 && !MayDelete(announcement.fd())) return Fail(ERROR_SHARING_VIOLATION);
  if (::unlink(path->c_str()) != 0) return Fail(ErrorFromErrno(errno));
  return TRUE;
}

DWORD GetFileAttributesA(const char* name) {
  auto path = OsName(name);
  if (!path) return INVALID_FILE_ATTRIBUTES;
  struct stat st {};
  if (lstat(path->c_str(), &st) != 0) {
    Fail(ErrorFromErrno(errno));
    return INVALID_FILE_ATTRIBUTES;
  }
  const size_t slash = path->find_last_of('/');
  DWORD attributes = AttributesOf(st, slash == std::string::npos ? *path : path->substr(slash + 1));
  if (S_ISLNK(st.st_mode)) attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
  if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
    attributes |= FILE_ATTRIBUTE_DEVICE;
  return attributes;
}

BOOL MoveFileExA(const char* from, const char* to, bool replaceExisting) {
  auto source = OsName(from);
  auto target = OsName(to);
  if (!source || !target) return FALSE;
  if (replaceExisting) {
    if (::rename(source->c_str(), target->c_str()) != 0) return Fail(ErrorFromErrno(errno));
    return TRUE;
  }
  // link + unlink refuses an existing target without a window for a race.
  if (::link(source->c_str(), target->c_str()) != 0) return Fail(ErrorFromErrno(errno));
  ::unlink(source->c_str());
  return TRUE;
}

HANDLE FindFirstFileA(const char* pattern, FindData* data) {
  auto full = OsName(pattern);
  if (!full) return INVALID_HANDLE;
  std::string directory, name;
  if (auto slash = full->find_last_of('/'); slash != std::string::npos) {
    directory = full->substr(0, slash + 1);
    name = full->substr(slash + 1);
  } else {
    directory = "./";
    name = *full;
  }
  if (name.empty()) {
    Fail(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE;
  }
  DIR* dir = opendir(directory.c_str());
  if (!dir) {
    Fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
    return INVALID_HANDLE;
  }
  auto search = std::make_shared<FindSearch>(dir, directory, name);
  if (!search->Next(data)) {
    Fail(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE;
  }
  Handle handle = System::Get().Handles().Add(ObjectKind::FindSearch, search);
  if (!handle) Fail(ERROR_NOT_ENOUGH_MEMORY);
  return handle ? handle : INVALID_HANDLE;
}

BOOL FindNextFileA(HANDLE search, FindData* data) {
  auto object = System::Get().Handles().Get<FindSearch>(search, ObjectKind::FindSearch);
  if (!object) return Fail(ERROR_INVALID_HANDLE);
  if (!object->Next(data)) return Fail(ERROR_NO_MORE_FILES);
  return TRUE;
}

BOOL FindClose(HANDLE search) {
  if (!System::Get().Handles().Remove(search, ObjectKind::FindSearch)) return Fail(ERROR_INVALID_HANDLE);
  return TRUE;
}

std::string GetModuleFileNameA() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return std::string();
  return OsNameToAnsi(std::string_view(buffer, static_cast<size_t>(n))).value_or(std::string());
}

BOOL SetCurrentDirectoryA(const char* path) {
  auto name = OsName(path);
  if (!name) return FALSE;
  if (::chdir(name->c_str()) != 0) return Fail(ErrorFromErrno(errno));
  return TRUE;
}

std::string GetTempPathA() {
  const char* env = std::getenv("TMPDIR");
  std::string directory = (env && *env) ? env : "/tmp";
  if (directory.back() != '/') directory += '/';
  return OsNameToAnsi(directory).value_or(std::string("/tmp/"));
}

}  // namespace platform
