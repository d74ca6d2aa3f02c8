#include "platform/files/file_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <string_view>

#include "platform/files/files.h"

namespace platform {

FILE* OpenFileStreamA(const char* ansiName, const char* mode) {
  std::string_view m(mode ? mode : "");
  DWORD access = 0, disposition = 0;
  if (m == "rb" || m == "r") {
    access = GENERIC_READ;
    disposition = OPEN_EXISTING;
  } else if (m == "wb" || m == "w") {
    access = GENERIC_WRITE;
    disposition = CREATE_ALWAYS;
  } else {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HANDLE file = CreateFileA(ansiName, access, FILE_SHARE_READ | FILE_SHARE_WRITE, disposition);
  if (file == INVALID_HANDLE) return nullptr;
  FILE* stream = FileStreamFromHandle(file, mode);
  const DWORD error = GetLastError();
  CloseHandle(file);
  if (!stream) SetLastError(error);
  return stream;
}

FILE* FileStreamFromHandle(HANDLE file, const char* mode) {
  int fd = FileDescriptorOf(file);
  if (fd < 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  int own = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (own < 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  FILE* stream = fdopen(own, mode);
  if (!stream) {
    ::close(own);
    SetLastError(ERROR_INVALID_PARAMETER);
  }
  return stream;
}

}  // namespace platform
