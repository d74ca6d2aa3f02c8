// Every call into libjpeg sits in this file, each under its own setjmp in a
// function whose locals have no destructors: libjpeg reports errors by a
// longjmp out of the library. A failed call leaves the session for End*.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

#include "runtime/imageconv/progress.h"
#include "runtime/imageconv/row_feed.h"

namespace runtime::imageconv {

struct JpegErrorState {
  jpeg_error_mgr manager;  // first, so libjpeg's pointer to it finds the rest
  std::jmp_buf jump;
  char message[200];  // the last error's text, kept for debugging only
};

struct JpegDecodeSession {
  jpeg_decompress_struct info;
  JpegErrorState error;
  jpeg_progress_mgr progress;
  bool created;
};

// Reads the header and starts decompression; on success info holds the
// output size and component count. CMYK and YCCK files give four CMYK bytes
// a pixel (out_color_space JCS_CMYK).
bool JpegBeginDecode(JpegDecodeSession* session, FILE* in);
// Decodes the next row (info.output_scanline) into `row`.
bool JpegReadRow(JpegDecodeSession* session, uint8_t* row);
// Destroys the decompressor (without finishing it); safe after any failure.
void JpegEndDecode(JpegDecodeSession* session);

struct JpegEncodeSettings {
  uint32_t width;
  uint32_t height;
  bool grey;  // one grey component, else red, green, blue
  int quality;
  int optimize;  // stored as given into the Huffman-optimisation flag
  int smoothing;
};

struct JpegEncodeSession {
  jpeg_compress_struct info;
  JpegErrorState error;
  bool created;
};

bool JpegBeginEncode(JpegEncodeSession* session, FILE* out, const JpegEncodeSettings* settings);
// Writes every row from pixels + row × stride, top to bottom.
// Rows are taken from `pixels`; with a feed, each only once it is published.
bool JpegEncodeRows(JpegEncodeSession* session, const uint8_t* pixels, size_t stride, ProgressCallback progress,
                    const RowFeed* feed = nullptr);
bool JpegFinishEncode(JpegEncodeSession* session);
void JpegEndEncode(JpegEncodeSession* session);

}  // namespace runtime::imageconv
