// TIFF files of any layout libtiff can turn into RGBA, read as 24 bits.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "runtime/imageconv/codecs/image_reader.h"
#include "runtime/imageconv/codecs/tiff_glue.h"

namespace runtime::imageconv::codecs {

// What TiffReader::Open found, kept until the reader is reset or read.
struct TiffReaderOpenFile {
  ReaderSource source;
  std::unique_ptr<TiffFile> tiff;
  int32_t width = 0;
  int32_t height = 0;
};

class TiffReader : public FileReader<TiffReaderOpenFile> {
 public:
  bool Open(const char* path, ImageBuffer* target, ProgressCallback progress) override;
  bool Read() override;
};

}  // namespace runtime::imageconv::codecs
