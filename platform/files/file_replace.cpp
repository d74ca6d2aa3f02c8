#include "platform/files/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/text/ansi_text.h"

namespace platform {
namespace {

// As many links as the kernel follows in one name.
constexpr int kMaxLinks = 40;

// The text of the link at `path`, or null.
std::optional<std::string> LinkText(const std::string& path, size_t sizeHint) {
  std::string text(sizeHint + 1, '\0');
  for (;;) {
    const ssize_t length = readlink(path.c_str(), text.data(), text.size());
    if (length < 0) return std::nullopt;
    // A full buffer may mean the link grew since it was looked at.
    if (static_cast<size_t>(length) < text.size()) {
      text.resize(static_cast<size_t>(length));
      return text;
    }
    text.resize(text.size() * 2);
  }
}

}  // namespace

std::optional<std::string> ResolveLinksA(const char* ansiName) {
  if (!ansiName || !*ansiName) return std::nullopt;
  auto path = AnsiToOsName(ansiName);
  if (!path) return std::nullopt;
  for (int links = 0; links <= kMaxLinks; ++links) {
    struct stat st {};
    // A name that cannot be looked at is where the write goes (and fails).
    if (lstat(path->c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      return links == 0 ? std::optional<std::string>(ansiName) : OsNameToAnsi(*path);
    }
    auto text = LinkText(*path, static_cast<size_t>(st.st_size));
    if (!text || text->empty()) return std::nullopt;
    if ((*text)[0] == '/') {
      *path = std::move(*text);
    } else {
      // Relative to the directory that holds the link.
      const size_t slash = path->find_last_of('/');
      *path = (slash == std::string::npos ? std::string() : path->substr(0, slash + 1)) + *text;
    }
  }
  return std::nullopt;
}

bool MayReplaceA(const char* ansiName) {
  auto path = ansiName && *ansiName ? AnsiToOsName(ansiName) : std::nullopt;
  if (!path) return false;
  if (faccessat(AT_FDCWD, path->c_str(), F_OK, AT_EACCESS) != 0) return errno == ENOENT;
  return faccessat(AT_FDCWD, path->c_str(), W_OK, AT_EACCESS) == 0;
}

bool TakeOverPermissionsA(FILE* stream, const char* ansiName) {
  if (!stream || !ansiName) return false;
  auto path = AnsiToOsName(ansiName);
  if (!path) return false;
  struct stat st {};
  if (stat(path->c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISREG(st.st_mode)) return true;
  return fchmod(fileno(stream), st.st_mode & 0777) == 0;
}

bool FlushToDisk(FILE* stream) { return stream && std::fflush(stream) == 0 && fsync(fileno(stream)) == 0; }

}  // namespace platform
