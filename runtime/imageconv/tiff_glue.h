// Opening TIFF files with libtiff so that nothing is ever printed: libtiff's
// default handlers write errors and warnings to the terminal.
#pragma once

#include <cstdio>

#include <tiffio.h>

namespace runtime::imageconv {

// What libtiff reported about one open file.
struct TiffDiagnostics {
  int errors = 0;
  int warnings = 0;
};

// Opens the file behind `stream` read-only (on a descriptor of its own) with
// handlers that only count into `diagnostics`, which must outlive the TIFF.
// Null when libtiff rejects the file.
TIFF* OpenTiffQuietly(FILE* stream, const char* name, TiffDiagnostics* diagnostics);

}  // namespace runtime::imageconv
