// TIFF files of any layout libtiff can turn into RGBA, read as 24 bits.
#pragma once

#include <cstdint>
#include <memory>

#include "runtime/imageconv/image_reader.h"
#include "runtime/imageconv/tiff_glue.h"

namespace runtime::imageconv {

class TiffReader : public ImageReader {
 public:
  TiffReader() = default;
  TiffReader(const TiffReader&) = delete;
  TiffReader& operator=(const TiffReader&) = delete;
  ~TiffReader() override { Reset(); }

  bool Open(const char* path, ImageBuffer* target, ProgressCallback progress) override;
  bool Read() override;
  void Reset() override;

 private:
  ReaderSource source_;
  TIFF* tiff_ = nullptr;
  // Heap-held so its address stays fixed for libtiff's handlers.
  std::unique_ptr<TiffDiagnostics> diagnostics_;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

}  // namespace runtime::imageconv
