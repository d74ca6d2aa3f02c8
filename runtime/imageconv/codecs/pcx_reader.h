// PCX files with 8-bit palette images or 24-bit images in three planes,
// run-length coded.
#pragma once

#include <cstdint>
#include <optional>

#include "runtime/imageconv/codecs/image_reader.h"

namespace runtime::imageconv::codecs {

// What PcxReader::Open found, kept until the reader is reset or read.
struct PcxReaderOpenFile {
  ReaderSource source;
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits = 0;
  uint32_t planes = 0;
  uint32_t bytesPerLine = 0;
  uint64_t fileSize = 0;
};

class PcxReader : public FileReader<PcxReaderOpenFile> {
 public:
  bool Open(const char* path, ImageBuffer* target, ProgressCallback progress) override;
  bool Read() override;
};

// Run-length decoding over a bounded stretch of a stream: a byte below 0xC0
// is a literal, a byte of 0xC0 or more repeats the next byte (its low six
// bits) times, and a run stops at the end of the line.
class PcxLineDecoder {
 public:
  PcxLineDecoder(FILE* in, uint64_t dataBytes) : in_(in), remaining_(dataBytes) {}
  // Fills line[0 .. size); false when the data end first.
  bool DecodeLine(uint8_t* line, size_t size);

 private:
  bool NextByte(uint8_t* byte);

  FILE* in_;
  uint64_t remaining_;
  uint8_t buffer_[4096];
  size_t position_ = 0;
  size_t filled_ = 0;
};

}  // namespace runtime::imageconv::codecs
