// 24-bit BMP files with the OS/2 core header or the Windows info header,
// bottom-up or top-down.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/imageconv/image_reader.h"

namespace runtime::imageconv {

class BmpReader : public ImageReader {
 public:
  bool Open(const char* path, ImageBuffer* target, ProgressCallback progress) override;
  bool Read() override;
  void Reset() override;
  bool Prepare() override;
  bool FillRows(RowFeed& feed) override;

 private:
  bool Fill(RowFeed* feed);

  ReaderSource source_;
  uint32_t pixelOffset_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  bool bottomUp_ = true;
  uint64_t rowBytes_ = 0;
  std::vector<uint8_t> row_;  // one file row, made by Prepare
};

}  // namespace runtime::imageconv
