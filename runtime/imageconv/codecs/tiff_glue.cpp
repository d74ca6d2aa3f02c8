#include "runtime/imageconv/codecs/tiff_glue.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <new>

#include "runtime/imageconv/image_size.h"

namespace runtime::imageconv::codecs {
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

}  // namespace

std::unique_ptr<TiffFile> OpenTiffQuietly(FILE* stream, const char* name) {
  std::unique_ptr<TiffFile> file(new (std::nothrow) TiffFile());
  ScopedPointer<TIFFOpenOptions, TIFFOpenOptionsFree> options(TIFFOpenOptionsAlloc());
  if (!file || !options) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), CountError, &file->diagnostics);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), CountWarning, &file->diagnostics);
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxTiffAllocation);
  const int fd = fcntl(fileno(stream), F_DUPFD_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  // "m": no memory mapping, so a file that shrinks under us gives read errors.
  if (lseek(fd, 0, SEEK_SET) == 0) file->tiff.reset(TIFFFdOpenExt(fd, name, "rm", options.get()));
  if (!file->tiff) {
    ::close(fd);  // libtiff takes the descriptor only when it opens the file
    return nullptr;
  }
  return file;
}

bool TiffImageSize(TiffFile& file, uint32_t* width, uint32_t* height) {
  return TIFFGetField(file.tiff.get(), TIFFTAG_IMAGEWIDTH, width) &&
         TIFFGetField(file.tiff.get(), TIFFTAG_IMAGELENGTH, height);
}

bool TiffReadRgba(TiffFile& file, uint32_t width, uint32_t height, uint32_t* raster) {
  const int errorsBefore = file.diagnostics.errors;
  return TIFFReadRGBAImage(file.tiff.get(), width, height, raster, 0) && file.diagnostics.errors == errorsBefore;
}

}  // namespace runtime::imageconv::codecs
