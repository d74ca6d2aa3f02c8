// Photo CD image packs at one of their three lowest resolutions.
#pragma once

#include <cstdint>
#include <optional>

#include "runtime/imageconv/codecs/image_reader.h"

namespace runtime::imageconv::codecs {

// What PhotoCdReader::Open found, kept until the reader is reset or read.
struct PhotoCdReaderOpenFile {
  ReaderSource source;
  int32_t width = 0;
  int32_t height = 0;
  uint64_t offset = 0;
};

class PhotoCdReader : public FileReader<PhotoCdReaderOpenFile> {
 public:
  // 768 × 512, the resolution the reader chain asks for.
  static constexpr int32_t kBaseClass = 2;

  // Classes 0 (192 × 128), 1 (384 × 256) and 2 (768 × 512).
  bool Open(const char* path, ImageBuffer* target, int32_t resolutionClass, ProgressCallback progress);
  bool Open(const char* path, ImageBuffer* target, ProgressCallback progress) override {
    return Open(path, target, kBaseClass, progress);
  }
  bool Read() override;
};

// One pixel from luma and the two chroma samples, rounded and clamped.
void PhotoCdPixel(uint8_t luma, uint8_t chroma1, uint8_t chroma2, uint8_t* rgb);

}  // namespace runtime::imageconv::codecs
