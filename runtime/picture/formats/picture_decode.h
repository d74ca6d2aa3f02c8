// Turning encoded bytes or a file into a picture.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/picture/byte_source.h"
#include "runtime/picture/picture.h"
#include "runtime/picture/size_gate.h"

namespace runtime::picture::formats {

// Kind 0 to 8 from the first bytes of the data; callers pass the first 8.
PictureKind DetectPictureKind(const uint8_t* bytes, size_t count);

// A new picture from the file at `path` (ANSI), or null.
Picture* LoadPictureFile(const char* path);

// Detects the kind from the source's first 8 bytes and runs that kind's
// decoder with the given limits.
PicturePtr DecodePictureFrom(ByteSource& source, const DecodeLimits& limits);

}  // namespace runtime::picture::formats
