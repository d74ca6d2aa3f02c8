#include "runtime/imageconv/tiff_glue.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "runtime/imageconv/image_size.h"

namespace runtime::imageconv {
namespace {

// libtiff's own largest allocation; its strip and tile buffers never need more.
constexpr tmsize_t kMaxTiffAllocation = static_cast<tmsize_t>(std::min<uint64_t>(kMaxImageBytes, 256u << 20));

int CountError(TIFF*, void* user, const char*, const char*, va_list) {
  static_cast<TiffDiagnostics*>(user)->errors++;
  return 1;  // handled: the global handler is not called
}

int CountWarning(TIFF*, void* user, const char*, const char*, va_list) {
  static_cast<TiffDiagnostics*>(user)->warnings++;
  return 1;
}

struct OptionsDeleter {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

}  // namespace

TIFF* OpenTiffQuietly(FILE* stream, const char* name, TiffDiagnostics* diagnostics) {
  std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
  if (!options) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), CountError, diagnostics);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), CountWarning, diagnostics);
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxTiffAllocation);
  const int fd = fcntl(fileno(stream), F_DUPFD_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  if (lseek(fd, 0, SEEK_SET) != 0) {
    ::close(fd);
    return nullptr;
  }
  // "m": no memory mapping, so a file that shrinks under us gives read errors.
  TIFF* tiff = TIFFFdOpenExt(fd, name, "rm", options.get());
  if (!tiff) ::close(fd);
  return tiff;
}

}  // namespace runtime::imageconv
