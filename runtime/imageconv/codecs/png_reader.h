// PNG files of up to 8 bits per sample: palette images as 8-bit indexed,
// grey as 8-bit levels, colour as 24 bits and colour with alpha as 32.
#pragma once

#include <cstdint>
#include <optional>

#include "runtime/imageconv/codecs/image_reader.h"
#include "runtime/imageconv/codecs/png_glue.h"

namespace runtime::imageconv::codecs {

// What PngReader::Open found, kept until the reader is reset or read.
struct PngReaderOpenFile {
  ReaderSource source;
  PngReadSession session;  // reads source's stream: declared after it, so freed before it closes
  PngHeader header{};
  int32_t depth = 0;
};

class PngReader : public FileReader<PngReaderOpenFile> {
 public:
  bool Open(const char* path, ImageBuffer* target, ProgressCallback progress) override;
  bool Read() override;
};

}  // namespace runtime::imageconv::codecs
