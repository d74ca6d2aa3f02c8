#include "runtime/imageconv/convert_image.h"

#include <algorithm>
#include <atomic>

#include "platform/files.h"
#include "runtime/imageconv/bmp_reader.h"
#include "runtime/imageconv/jpeg_codec.h"
#include "runtime/imageconv/pcx_reader.h"
#include "runtime/imageconv/photocd_reader.h"
#include "runtime/imageconv/png_reader.h"
#include "runtime/imageconv/tiff_reader.h"

namespace imageconv {
namespace {

// The runtime's notification entry. The library never calls it back; it is
// kept because the runtime hands it to every library at start-up.
std::atomic<runtime::NotifyRoutine> runtimeEntry{nullptr};

bool HasText(const runtime::ArgRecord& arg) {
  const char* text = arg.AsText();
  return text && *text;
}

// Only a missing source is a bad argument: an empty one names no file, which
// the source lookup reports.
bool HasSource(const runtime::ArgRecord& arg) { return arg.AsText() != nullptr; }

// A directory or a wildcard match counts as found.
bool PathMatchesAFile(const char* path) {
  platform::FindData found;
  platform::HANDLE search = platform::FindFirstFileA(path, &found);
  if (search == platform::INVALID_HANDLE) return false;
  platform::FindClose(search);
  return true;
}

}  // namespace

int32_t LoadImageFile(const char* path, ImageBuffer& image) {
  if (!path || !PathMatchesAFile(path)) return kSourceMissing;
  JpegCodec jpeg;
  BmpReader bmp;
  TiffReader tiff;
  PngReader png;
  PcxReader pcx;
  PhotoCdReader photoCd;
  ImageReader* const chain[] = {&jpeg, &bmp, &tiff, &png, &pcx, &photoCd};
  for (ImageReader* reader : chain) {
    if (!reader->Open(path, &image, nullptr)) {
      reader->Reset();
      continue;
    }
    // The reader that took the header has the last word.
    const bool read = reader->Read();
    reader->Reset();
    return read ? kConverted : kSourceUnreadable;
  }
  return kSourceUnreadable;
}

void ConvertImage(runtime::ArgRecord* result, int32_t count, runtime::ArgRecord* given) {
  // Arguments the caller did not pass read as omitted (all-zero) records.
  runtime::ArgRecord args[6] = {};
  for (int32_t i = 0; i < count && i < 6 && given; ++i) args[i] = given[i];
  JpegCodec codec;
  ImageBuffer image;
  const int32_t quality = args[3].AsInt();
  const int32_t smoothing = args[5].AsInt();
  int32_t code = kBadArgument;
  if (HasSource(args[0]) && HasText(args[1]) && quality >= 1 && quality <= 100 && smoothing >= 0 &&
      smoothing <= 100) {
    code = LoadImageFile(args[0].AsText(), image);
    if (code == kConverted) {
      const JpegSaveOptions options{
          .quality = quality,
          .colour = args[2].AsInt() != 1,
          .optimize = args[4].AsInt(),
          .smoothing = smoothing,
      };
      code = codec.Save(args[1].AsText(), image, options, nullptr) ? kConverted : kWriteFailed;
    }
  }
  codec.Reset();
  image.Clear();
  *result = runtime::ArgRecord::Int(code);
}

intptr_t ImageConvNotify(int32_t code, intptr_t arg1, intptr_t /*arg2*/) {
  if (code != runtime::notify::kLibraryAttach) return -1;
  runtimeEntry.store(reinterpret_cast<runtime::NotifyRoutine>(arg1));
  return 0;
}

runtime::NotifyRoutine RuntimeNotifyEntry() { return runtimeEntry.load(); }

}  // namespace imageconv
