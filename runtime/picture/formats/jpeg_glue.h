// The libjpeg decompression calls, each under its own setjmp. libjpeg reports
// fatal errors by a long jump back into these functions, so no C++ object with
// a destructor lives in the frames it crosses.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/picture/byte_source.h"

namespace runtime::picture::formats {

struct JpegSession;  // libjpeg state; opaque outside the glue

enum class JpegColour { Grey, Rgb, Cmyk, AdobeInvertedCmyk, Other };

struct JpegHeaderInfo {
  uint32_t width = 0;
  uint32_t height = 0;
  int components = 0;
  JpegColour colour = JpegColour::Other;
};

// Reads `source` in 4096-byte chunks. Null when out of memory.
JpegSession* JpegOpen(ByteSource* source);
void JpegClose(JpegSession* session);

bool JpegReadHeader(JpegSession* session, JpegHeaderInfo* info);
// Starts decompression; lines then come as blue-green-red (Rgb), one grey byte
// (Grey), four CMYK bytes (the two CMYK kinds) or the file's own components
// (Other). Sets *outputComponents.
bool JpegStart(JpegSession* session, JpegColour colour, int* outputComponents);
bool JpegReadLine(JpegSession* session, uint8_t* line);
bool JpegFinish(JpegSession* session);

}  // namespace runtime::picture::formats
