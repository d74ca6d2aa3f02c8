#include "platform/files/unnamed_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "platform/base/last_error.h"
#include "platform/base/system.h"
#include "platform/files/file_object.h"
#include "platform/text/ansi_text.h"

namespace platform {
namespace {

// Random names collide so rarely that this many refusals mean the directory
// refuses every name.
constexpr int kNameAttempts = 64;

// For file systems without unnamed files: the name exists only between the
// create and the unlink that follows it.
int CreateThenUnlink(const std::string& directory, std::string_view prefix) {
  std::random_device random;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const uint64_t number = (uint64_t{random()} << 32) | random();
    std::string name = directory;
    if (name.back() != '/') name.push_back('/');
    name.append(prefix).append(std::to_string(number)).append(".tmp");
    const int fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return -1;
    }
    if (::unlink(name.c_str()) != 0) {
      const int error = errno;
      ::close(fd);
      errno = error;
      return -1;
    }
    return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

HANDLE CreateUnnamedFileA(const char* directory, std::string_view prefix) {
  auto path = directory && *directory ? AnsiToOsName(directory) : std::nullopt;
  if (!path) {
    SetLastError(directory && *directory ? ERROR_INVALID_NAME : ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE;
  }
  int fd = ::open(path->c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  // EISDIR: a kernel without unnamed files; EOPNOTSUPP: a file system without.
  if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) fd = CreateThenUnlink(*path, prefix);
  if (fd < 0) {
    SetLastError(ErrorFromErrno(errno));
    return INVALID_HANDLE;
  }
  Handle handle = System::Get().Handles().Add(ObjectKind::File, std::make_shared<FileObject>(fd));
  if (!handle) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return INVALID_HANDLE;
  }
  return handle;
}

}  // namespace platform
