// JPEG in both directions: a reader for the reader chain and the writer that
// every conversion ends in.
#pragma once

#include <cstdint>
#include <optional>

#include "runtime/imageconv/codecs/image_reader.h"
#include "runtime/imageconv/codecs/jpeg_glue.h"

namespace runtime::imageconv::codecs {

struct JpegSaveOptions {
  int32_t quality = 75;   // 1..100, checked by the caller
  bool colour = true;     // else one grey component
  int32_t optimize = 1;   // Huffman-optimisation flag, as given
  int32_t smoothing = 0;  // 0..100, checked by the caller
};

// What JpegCodec::Open found, kept until the reader is reset or read.
struct JpegCodecOpenFile {
  ReaderSource source;
  JpegDecoder decoder;  // reads source's stream: declared after it, so freed before it closes
  int32_t width = 0;
  int32_t height = 0;
  bool colour = true;  // 24-bit target, else 8-bit grey
  bool cmyk = false;   // rows come as four CMYK bytes a pixel
  bool invertedCmyk = false;
};

class JpegCodec : public FileReader<JpegCodecOpenFile> {
 public:
  bool Open(const char* path, ImageBuffer* target, ProgressCallback progress) override;
  bool Read() override;

  // Writes `source` as a baseline JPEG to `path`. The file is written beside
  // the destination under a temporary name and renamed over it once complete,
  // so a failed save leaves the destination as it was; where no file can be
  // made beside it, the save fails. Side files that writers which died left
  // beside the destination are removed first. A symbolic link at `path`
  // stays a link to the replaced file, and a replaced file's permissions
  // carry over; a file this process could not open for writing is not
  // replaced, and the save fails. With a feed, rows of `source` are encoded as
  // another thread publishes them; a failed feed fails the save. 1 or 0.
  int32_t Save(const char* path, const ImageBuffer& source, const JpegSaveOptions& options, ProgressCallback progress,
               const RowFeed* feed = nullptr);
};

}  // namespace runtime::imageconv::codecs
