// PNG files of up to 8 bits per sample: palette images as 8-bit indexed,
// grey as 8-bit levels, colour as 24 bits and colour with alpha as 32.
#pragma once

#include <cstdint>
#include <optional>

#include "runtime/imageconv/image_reader.h"
#include "runtime/imageconv/png_glue.h"

namespace runtime::imageconv {

class PngReader : public ImageReader {
 public:
  bool Open(const char* path, ImageBuffer* target, ProgressCallback progress) override;
  bool Read() override;
  void Reset() override { file_.reset(); }

 private:
  // What Open found, kept until the reader is reset.
  struct OpenFile {
    ReaderSource source;
    PngReadSession session;  // reads source's stream: declared after it, so freed before it closes
    PngHeader header{};
    int32_t depth = 0;
  };
  std::optional<OpenFile> file_;
};

}  // namespace runtime::imageconv
