// Steps the GIF block parser the way an animation does: frame after frame,
// wrapping at the trailer.
#include <span>

#include "runtime/picture/formats/gif_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace runtime::picture;
  auto gif = GifDecoder::Open(std::span<const uint8_t>(data, size), DecodeLimits{uint64_t{16} << 20});
  if (!gif) return 0;
  GifFrame frame;
  for (int step = 0; step < 8; ++step) {
    if (gif->NextFrame(frame) == GifStep::End) gif->Rewind();
    if (!frame.dib.block.empty()) {
      volatile uint8_t sink = 0;
      for (size_t i = 0; i < frame.dib.block.size(); ++i) sink = sink + frame.dib.block.data()[i];
    }
  }
  return 0;
}
