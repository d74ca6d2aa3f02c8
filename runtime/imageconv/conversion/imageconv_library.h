// The image conversion library (library 3 of the program): its one command,
// ConvertImage, and its notification entry.
#pragma once

#include "runtime/core/program.h"

namespace runtime::imageconv::conversion {

const LibraryEntry& ImageConversionLibrary();

}  // namespace runtime::imageconv::conversion
