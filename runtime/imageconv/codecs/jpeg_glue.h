// Every call into libjpeg sits in this file, each under its own setjmp in a
// function whose locals have no destructors: libjpeg reports errors by a
// longjmp out of the library. A failed call leaves the session for its owner
// to destroy.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "runtime/imageconv/progress.h"
#include "runtime/imageconv/row_feed.h"
#include "runtime/imageconv/scoped_handle.h"

// After the platform types: libjpeg defines TRUE and FALSE as macros.
#include <jpeglib.h>

namespace runtime::imageconv::codecs {

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

// Destroys the decompressor (without finishing it) and frees the session;
// safe after any failure.
void JpegEndDecode(JpegDecodeSession* session);
// Heap-held: libjpeg keeps pointers into the session.
using JpegDecoder = ScopedPointer<JpegDecodeSession, JpegEndDecode>;

// Reads the header of `in` (which must outlive the session) and starts
// decompression; null on failure. The session's info holds the output size
// and component count. CMYK and YCCK files give four CMYK bytes a pixel
// (out_color_space JCS_CMYK).
JpegDecoder JpegBeginDecode(FILE* in);
// Decodes the next row (info.output_scanline) into `row`.
bool JpegReadRow(JpegDecodeSession* session, uint8_t* row);

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

// Destroys the compressor and frees the session; safe after any failure.
void JpegEndEncode(JpegEncodeSession* session);
using JpegEncoder = ScopedPointer<JpegEncodeSession, JpegEndEncode>;

// Starts compression into `out` (which must outlive the session); null on
// failure.
JpegEncoder JpegBeginEncode(FILE* out, const JpegEncodeSettings* settings);
// Writes every row from pixels + row × stride, top to bottom.
// Rows are taken from `pixels`; with a feed, each only once it is published.
bool JpegEncodeRows(JpegEncodeSession* session, const uint8_t* pixels, size_t stride, ProgressCallback progress,
                    const RowFeed* feed = nullptr);
bool JpegFinishEncode(JpegEncodeSession* session);

}  // namespace runtime::imageconv::codecs
