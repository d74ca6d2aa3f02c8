// PNG files of up to 8 bits per sample: palette images as 8-bit indexed,
// grey as 8-bit levels, colour as 24 bits and colour with alpha as 32.
#pragma once

#include "runtime/imageconv/image_reader.h"
#include "runtime/imageconv/png_glue.h"

namespace runtime::imageconv {

class PngReader : public ImageReader {
 public:
  PngReader() = default;
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;
  ~PngReader() override { Reset(); }

  bool Open(const char* path, ImageBuffer* target, ProgressCallback progress) override;
  bool Read() override;
  void Reset() override;

 private:
  ReaderSource source_;
  PngSession session_{};
  PngHeader header_{};
  int32_t depth_ = 0;
};

}  // namespace runtime::imageconv
