// Decodes a whole JPEG file with libjpeg and throws the pixels away: the
// build's check that the photograph it embeds will show, not only that its
// frame header reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace formgen {

struct DecodeResult {
  bool ok = false;
  int width = 0;
  int height = 0;
  std::string message;  // what libjpeg said when it stopped or warned
};

// Any warning counts as a failure: libjpeg only warns of a file that ends
// early or of corrupt data, and fills in grey where the picture is missing.
DecodeResult DecodeWholeJpeg(const uint8_t* data, size_t size);

}  // namespace formgen
