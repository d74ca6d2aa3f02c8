// Every call into libtiff sits in this file. Files are opened so that nothing
// is ever printed: libtiff's default handlers write errors and warnings to
// the terminal.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include <tiffio.h>

#include "runtime/imageconv/scoped_handle.h"

namespace runtime::imageconv::codecs {

// What libtiff reported about one open file.
struct TiffDiagnostics {
  int errors = 0;
  int warnings = 0;
};

// An open TIFF with what libtiff reported about it. Heap-held, so that the
// diagnostics stay where libtiff's handlers point; the TIFF is declared
// last, so it is closed before they go.
struct TiffFile {
  TiffFile() = default;
  TiffFile(const TiffFile&) = delete;
  TiffFile& operator=(const TiffFile&) = delete;

  TiffDiagnostics diagnostics;
  ScopedPointer<TIFF, TIFFClose> tiff;
};

// Opens the file behind `stream` read-only (on a descriptor of its own) with
// handlers that only count into the diagnostics. Null when libtiff rejects
// the file.
std::unique_ptr<TiffFile> OpenTiffQuietly(FILE* stream, const char* name);

// The image's width and height; false when either field is missing.
bool TiffImageSize(TiffFile& file, uint32_t* width, uint32_t* height);

// The whole image as packed RGBA words, bottom row first, into `raster`
// (width × height words). Errors libtiff carries on past fail it too: a file
// with missing or damaged strips is not a picture.
bool TiffReadRgba(TiffFile& file, uint32_t width, uint32_t height, uint32_t* raster);

}  // namespace runtime::imageconv::codecs
