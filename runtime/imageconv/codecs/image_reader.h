// What every format reader offers the reader chain: Open checks that a file
// is of its format with an acceptable header, Read puts all its pixels into
// the target, Reset forgets everything and closes the file. A failed Open and
// any Read leave the reader reset, so it is ready for the next file.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "runtime/imageconv/image_buffer.h"
#include "runtime/imageconv/progress.h"
#include "runtime/imageconv/row_feed.h"
#include "runtime/imageconv/scoped_handle.h"

namespace runtime::imageconv::codecs {

class ImageReader {
 public:
  virtual ~ImageReader() = default;
  virtual bool Open(const char* path, ImageBuffer* target, ProgressCallback progress) = 0;
  virtual bool Read() = 0;
  virtual void Reset() = 0;

  // A reader that can fill the image top to bottom while another thread
  // already encodes its first rows splits Read in two: Prepare makes the
  // target image, then FillRows (on any one thread) fills it and publishes
  // each completed row through `feed`. A failed FillRows calls feed.Fail()
  // and leaves the image and the reset to the caller, who may still be
  // reading published rows. Readers that cannot answer false to Prepare.
  virtual bool Prepare() { return false; }
  virtual bool FillRows(RowFeed& /*feed*/) { return false; }

 protected:
  // A Read that fails leaves an empty target.
  static bool FailRead(ImageBuffer& image) {
    image.Clear();
    return false;
  }
};

// A reader that keeps what Open found of one file, an `OpenFile`, until it
// is reset or read; the file closes with it.
template <class File>
class FileReader : public ImageReader {
 public:
  void Reset() override { file_.reset(); }

 protected:
  using OpenFile = File;

  // What Open found, handed over to a read: the reader is reset at once and
  // the file closes as the result goes, however the read ends. Empty when
  // nothing is open or the file has no target.
  std::optional<OpenFile> TakeForRead() {
    std::optional<OpenFile> taken = std::exchange(file_, std::nullopt);
    if (taken && !taken->source.target) taken.reset();
    return taken;
  }

  std::optional<OpenFile> file_;
};

// What every reader keeps of an open file between Open and Read; the stream
// closes when it goes.
struct ReaderSource {
  ScopedStream stream;
  std::string path;
  ImageBuffer* target = nullptr;
  ProgressCallback progress = nullptr;

  // Opens `path` for reading; false when it cannot be opened.
  bool OpenStream(const char* path, ImageBuffer* target, ProgressCallback progress);
};

}  // namespace runtime::imageconv::codecs
