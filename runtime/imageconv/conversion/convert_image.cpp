#include "runtime/imageconv/conversion/convert_image.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

#include "platform/files/files.h"
#include "runtime/imageconv/codecs/bmp_reader.h"
#include "runtime/imageconv/codecs/jpeg_codec.h"
#include "runtime/imageconv/codecs/pcx_reader.h"
#include "runtime/imageconv/codecs/photocd_reader.h"
#include "runtime/imageconv/codecs/png_reader.h"
#include "runtime/imageconv/codecs/tiff_reader.h"

namespace runtime::imageconv::conversion {

using codecs::BmpReader;
using codecs::JpegSaveOptions;
using codecs::PcxReader;
using codecs::PhotoCdReader;
using codecs::PngReader;
using codecs::TiffReader;

using codecs::ImageReader;
using codecs::JpegCodec;
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

namespace {

// The reader chain in its order, each reader ready for one file.
class ReaderChain {
 public:
  // The first reader that accepts the file's header, opened on `image`; null
  // when none does. A reader that refuses a file holds nothing of it.
  ImageReader* Open(const char* path, ImageBuffer& image) {
    for (ImageReader* reader : chain_) {
      if (reader->Open(path, &image, nullptr)) return reader;
    }
    return nullptr;
  }

 private:
  JpegCodec jpeg_;
  BmpReader bmp_;
  TiffReader tiff_;
  PngReader png_;
  PcxReader pcx_;
  PhotoCdReader photoCd_;
  ImageReader* const chain_[6] = {&jpeg_, &bmp_, &tiff_, &png_, &pcx_, &photoCd_};
};

// Reads the source on a second thread while the encoder takes its rows as
// they arrive: the answer is the one reading and then writing would give.
int32_t ReadWhileWriting(ImageReader& reader, ImageBuffer& image, const char* target, const JpegSaveOptions& options) {
  RowFeed feed;
  bool read = false;
  std::thread filler;
  try {
    filler = std::thread([&] {
      // A reader that runs out of memory fails the read; nothing leaves the thread.
      try {
        read = reader.FillRows(feed);
      } catch (const std::bad_alloc&) {
        feed.Fail();
        read = false;
      }
    });
  } catch (const std::system_error&) {
    read = reader.FillRows(feed);  // no thread to be had: read first, then write
  }
  JpegCodec codec;
  const bool saved = codec.Save(target, image, options, nullptr, &feed);
  if (filler.joinable()) filler.join();
  reader.Reset();
  if (!read) return kSourceUnreadable;
  return saved ? kConverted : kWriteFailed;
}

int32_t Convert(const char* source, const char* target, ImageBuffer& image, const JpegSaveOptions& options) {
  if (!PathMatchesAFile(source)) return kSourceMissing;
  ReaderChain readers;
  ImageReader* reader = readers.Open(source, image);
  if (!reader) return kSourceUnreadable;
  if (reader->Prepare()) return ReadWhileWriting(*reader, image, target, options);
  // Read closes the source, before the target (perhaps the same file) is written.
  if (!reader->Read()) return kSourceUnreadable;
  JpegCodec codec;
  return codec.Save(target, image, options, nullptr) ? kConverted : kWriteFailed;
}

}  // namespace

int32_t LoadImageFile(const char* path, ImageBuffer& image) {
  if (!path || !PathMatchesAFile(path)) return kSourceMissing;
  ReaderChain readers;
  ImageReader* reader = readers.Open(path, image);
  if (!reader) return kSourceUnreadable;
  return reader->Read() ? kConverted : kSourceUnreadable;
}

void ConvertImage(runtime::ArgRecord* result, int32_t count, runtime::ArgRecord* given) {
  // Arguments the caller did not pass read as omitted (all-zero) records.
  runtime::ArgRecord args[6] = {};
  for (int32_t i = 0; i < count && i < 6 && given; ++i) args[i] = given[i];
  ImageBuffer image;
  const int32_t quality = args[3].AsInt();
  const int32_t smoothing = args[5].AsInt();
  int32_t code = kBadArgument;
  if (HasSource(args[0]) && HasText(args[1]) && quality >= 1 && quality <= 100 && smoothing >= 0 && smoothing <= 100) {
    const JpegSaveOptions options{
        .quality = quality,
        .colour = args[2].AsInt() != 1,
        .optimize = args[4].AsInt(),
        .smoothing = smoothing,
    };
    code = Convert(args[0].AsText(), args[1].AsText(), image, options);
  }
  image.Clear();
  *result = runtime::ArgRecord::Int(code);
}

intptr_t ImageConvNotify(int32_t code, intptr_t arg1, intptr_t /*arg2*/) {
  if (code != runtime::notify::kLibraryAttach) return -1;
  runtimeEntry.store(runtime::RoutineIn<runtime::NotifyRoutine>(arg1));
  return 0;
}

runtime::NotifyRoutine RuntimeNotifyEntry() { return runtimeEntry.load(); }

}  // namespace runtime::imageconv::conversion
