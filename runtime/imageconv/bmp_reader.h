// 24-bit BMP files with the OS/2 core header or the Windows info header,
// bottom-up or top-down.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/imageconv/image_reader.h"

namespace runtime::imageconv {

class BmpReader : public ImageReader {
 public:
  bool Open(const char* path, ImageBuffer* target, ProgressCallback progress) override;
  bool Read() override;
  void Reset() override { file_.reset(); }
  bool Prepare() override;
  bool FillRows(RowFeed& feed) override;

 private:
  // What Open found, kept until the reader is reset.
  struct OpenFile {
    ReaderSource source;
    uint32_t pixelOffset = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool bottomUp = true;
    uint64_t rowBytes = 0;
    std::vector<uint8_t> row;  // one file row, made by Prepare
  };
  static bool PrepareFile(OpenFile& file);
  static bool Fill(OpenFile& file, RowFeed* feed);

  std::optional<OpenFile> file_;
};

}  // namespace runtime::imageconv
