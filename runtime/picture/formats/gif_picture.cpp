// Static GIF pictures: the first image, as a packed DIB of the logical screen.
#include <algorithm>
#include <cstring>

#include "runtime/picture/formats/decoders.h"
#include "runtime/picture/formats/gif_decoder.h"

namespace runtime::picture::formats {

namespace {

// Entries past the file's colour table are black, so searching from the top
// finds one of them first when there are any.
uint8_t DarkestEntry(const PackedDib8& dib) {
  const uint8_t* palette = dib.Palette();
  int best = 255;
  unsigned bestSum = 3 * 255 + 1;
  for (int i = 255; i >= 0; --i) {
    const uint8_t* e = palette + i * 4;
    const unsigned sum = unsigned{e[0]} + e[1] + e[2];
    if (sum < bestSum) {
      best = i;
      bestSum = sum;
      if (sum == 0) break;
    }
  }
  return static_cast<uint8_t>(best);
}

}  // namespace

PicturePtr DecodeGif(ByteSource& source, const DecodeLimits& limits) {
  const auto whole = WholeBytes::From(source, limits.maxBlockBytes);
  if (!whole) return nullptr;
  auto gif = GifDecoder::Open(whole->Bytes(), limits);
  if (!gif) return nullptr;
  const uint32_t width = gif->ScreenWidth(), height = gif->ScreenHeight();
  if (width == 0 || height == 0) return nullptr;

  GifFrame frame;
  if (gif->NextFrame(frame) != GifStep::Frame) return nullptr;

  // The picture is the logical screen's size. The image sits at its top-left
  // corner (its own offsets are not used), clipped to the screen; the rest is
  // black, or the darkest colour a full palette without black offers.
  auto screen = MakePackedDib8(width, height, DibHeaderFields{1, 256}, limits);
  if (!screen) return nullptr;
  std::memcpy(screen->Palette(), frame.dib.Palette(), kDibPaletteBytes);
  const uint8_t fill = DarkestEntry(*screen);
  const size_t copyWidth = std::min<size_t>(frame.dib.width, width);
  const size_t copyRows = std::min<size_t>(frame.dib.height, height);
  for (size_t y = 0; y < height; ++y) {
    uint8_t* row = screen->Row(y);
    std::memset(row, fill, width);
    if (y < copyRows) std::memcpy(row, frame.dib.Row(y), copyWidth);
  }
  return MakePicture(PictureKind::Gif, static_cast<int32_t>(width), static_cast<int32_t>(height),
                     std::move(screen->block));
}

}  // namespace runtime::picture::formats
