#include "platform/files/side_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <random>

#include "platform/files/files.h"
#include "platform/text/ansi_text.h"

namespace platform {
namespace {

// Random names collide so rarely that this many refusals mean the directory
// refuses every name.
constexpr int kNameAttempts = 64;

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
    if (file != INVALID_HANDLE) {
      *sideName = std::move(name);
      return file;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return INVALID_HANDLE;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return INVALID_HANDLE;
}

BOOL DeleteSideFileA(const char* sideName) {
  auto path = sideName && *sideName ? AnsiToUtf8(sideName) : std::nullopt;
  if (!path) return Fail(ERROR_INVALID_NAME);
  if (::unlink(path->c_str()) != 0) return Fail(ErrorFromErrno(errno));
  return TRUE;
}

}  // namespace platform
