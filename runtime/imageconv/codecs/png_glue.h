// Every call into libpng (classic reading API) sits in this file, each under
// its own setjmp in a function whose locals have no destructors: libpng
// reports errors by a longjmp. A failed call leaves the session for its
// owner to destroy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <png.h>

#include "runtime/imageconv/progress.h"
#include "runtime/imageconv/scoped_handle.h"

namespace runtime::imageconv::codecs {

struct PngSession {
  png_structp png;
  png_infop info;
  FILE* in;
};

struct PngHeader {
  uint32_t width;
  uint32_t height;
  int bitDepth;
  int colorType;
};

struct PngGammaChunks {
  bool srgb;
  bool gama;
  double gamma;  // the gAMA value when gama is set
};

// What Configure asks of libpng on top of unpacking samples below 8 bits.
struct PngTransforms {
  bool expandGrey;  // grey samples below 8 bits become 8-bit levels
  bool stripAlpha;  // grey with alpha becomes grey
  bool swapAlpha;   // red, green, blue, alpha becomes alpha first
  double screenGamma;
  double fileGamma;
};

// Destroys the session's libpng structures, whatever state a failed call
// left them in, and frees it.
void PngDestroy(PngSession* session);
using PngReadSession = ScopedPointer<PngSession, PngDestroy>;

// Reads the signature and the chunks before the image data from `in`, which
// must outlive the session; null when that fails. The version is checked
// against the libpng this program was built with.
PngReadSession PngOpen(FILE* in, PngHeader* header);
// The palette as red, green, blue triples; count may exceed 256.
bool PngPalette(PngSession* session, const png_color** entries, int* count);
bool PngGammaInfo(PngSession* session, PngGammaChunks* chunks);
// Sets up the transforms; gives the pass count and the bytes of one output row.
bool PngConfigure(PngSession* session, const PngTransforms* transforms, int* passes, size_t* rowBytes);
// Every pass, every row into pixels + row × stride, then the chunks after the
// image data.
bool PngReadImage(PngSession* session, uint8_t* pixels, size_t stride, int passes, ProgressCallback progress);

}  // namespace runtime::imageconv::codecs
