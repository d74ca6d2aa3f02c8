// One decoder per format. Each reads from the start of its source and returns
// a new picture, or null for anything it cannot decode.
#pragma once

#include "runtime/picture/byte_source.h"
#include "runtime/picture/picture.h"
#include "runtime/picture/size_gate.h"

namespace runtime::picture::formats {

PicturePtr DecodeJpeg(ByteSource& source, const DecodeLimits& limits);
PicturePtr DecodeBmp(ByteSource& source, const DecodeLimits& limits);
PicturePtr DecodeIconOrCursor(ByteSource& source, const DecodeLimits& limits);
PicturePtr DecodeGif(ByteSource& source, const DecodeLimits& limits);
PicturePtr DecodePcx(ByteSource& source, const DecodeLimits& limits);
PicturePtr DecodePng(ByteSource& source, const DecodeLimits& limits);

}  // namespace runtime::picture::formats
