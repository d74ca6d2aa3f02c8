// Reads the markers of a JPEG file, so that tests can tell baseline from
// progressive and standard Huffman tables from optimised ones.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace runtime::imageconv::testing {

struct JpegMarkers {
  std::vector<uint8_t> frameTypes;  // the SOFn codes, e.g. 0xC0 baseline
  int components = 0;
  int width = 0;
  int height = 0;
  std::vector<std::vector<uint8_t>> huffmanTables;  // each: class/id byte, 16 counts, values
  std::vector<uint8_t> firstQuantTable;             // 64 values in zigzag order
  int restartInterval = 0;
  int comments = 0;
  int adobeTransform = -1;  // from an APP14 "Adobe" marker; -1 without one
};

inline JpegMarkers ParseJpegMarkers(const std::vector<uint8_t>& file) {
  JpegMarkers markers;
  size_t i = 2;
  while (i + 4 <= file.size() && file[i] == 0xFF) {
    const uint8_t code = file[i + 1];
    const size_t length = (file[i + 2] << 8) | file[i + 3];
    const uint8_t* body = &file[i + 4];
    if (i + 2 + length > file.size()) break;
    if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC) {
      markers.frameTypes.push_back(code);
      markers.height = (body[1] << 8) | body[2];
      markers.width = (body[3] << 8) | body[4];
      markers.components = body[5];
    } else if (code == 0xC4) {
      size_t at = 0;
      while (at < length - 2) {
        size_t count = 0;
        for (int k = 1; k <= 16; ++k) count += body[at + k];
        markers.huffmanTables.emplace_back(body + at, body + at + 17 + count);
        at += 17 + count;
      }
    } else if (code == 0xDB && markers.firstQuantTable.empty()) {
      markers.firstQuantTable.assign(body + 1, body + 65);
    } else if (code == 0xDD) {
      markers.restartInterval = (body[0] << 8) | body[1];
    } else if (code == 0xFE) {
      ++markers.comments;
    } else if (code == 0xEE && length >= 14 && std::equal(body, body + 5, "Adobe")) {
      markers.adobeTransform = body[11];
    } else if (code == 0xDA) {
      break;
    }
    i += 2 + length;
  }
  return markers;
}

// The DC luminance table of the JPEG standard's examples: what an encoder
// writes when it does not optimise.
inline const std::vector<uint8_t> kStandardDcLuminance = {0x00, 0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0,  0, 0,
                                                          0,    0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

}  // namespace runtime::imageconv::testing
