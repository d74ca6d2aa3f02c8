// 24-bit BMP files with the OS/2 core header or the Windows info header,
// bottom-up or top-down.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/imageconv/codecs/image_reader.h"

namespace runtime::imageconv::codecs {

// What BmpReader::Open found, kept until the reader is reset or read.
struct BmpReaderOpenFile {
  ReaderSource source;
  uint32_t pixelOffset = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool bottomUp = true;
  uint64_t rowBytes = 0;
  int32_t rowsPerRead = 1;
  std::vector<uint8_t> rows;  // rowsPerRead file rows, made by Prepare
};

class BmpReader : public FileReader<BmpReaderOpenFile> {
 public:
  bool Open(const char* path, ImageBuffer* target, ProgressCallback progress) override;
  bool Read() override;
  bool Prepare() override;
  bool FillRows(RowFeed& feed) override;

 private:
  static bool PrepareFile(OpenFile& file);
  static bool Fill(OpenFile& file, RowFeed* feed);
};

}  // namespace runtime::imageconv::codecs
