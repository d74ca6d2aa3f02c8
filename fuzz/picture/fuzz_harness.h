// Runs one decoder over the fuzzer's bytes and touches every output byte, so
// out-of-bounds or uninitialised output shows up under the sanitizers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "runtime/picture/byte_source.h"
#include "runtime/picture/formats/decoders.h"

namespace picture_fuzz {

using Decoder = runtime::picture::PicturePtr (*)(runtime::picture::ByteSource&, const runtime::picture::DecodeLimits&);

inline int Run(Decoder decode, const uint8_t* data, size_t size) {
  runtime::picture::MemorySource source(std::span<const uint8_t>(data, size));
  // Small enough that huge claimed sizes cost little time per input.
  const runtime::picture::DecodeLimits limits{uint64_t{16} << 20};
  const runtime::picture::PicturePtr picture = decode(source, limits);
  if (picture && picture->pixels) {
    volatile uint8_t sink = 0;
    for (int32_t i = 0; i < picture->pixelByteCount; ++i) sink = sink + picture->pixels[i];
  }
  return 0;
}

}  // namespace picture_fuzz
