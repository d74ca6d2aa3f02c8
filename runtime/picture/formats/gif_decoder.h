// GIF block parser. It decodes one image at a time from the block stream
// after the header, wrapping to the first block at the trailer, so a static
// decode takes the first image and an animation keeps stepping.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/base/types.h"
#include "runtime/picture/formats/packed_dib.h"
#include "runtime/picture/size_gate.h"

namespace runtime::picture::formats {

struct GifGraphicControl {
  int disposal = 0;  // GIF disposal method times 4: 0, 4, 8 or 12 (others kept as read)
  bool transparent = false;
  uint8_t transparentIndex = 0;
  uint16_t delay = 0;  // hundredths of a second; 0 means none given
};

struct GifFrame {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  GifGraphicControl control;
  // Palette entry of the transparent index as a COLORREF; white when the
  // frame has no transparent colour.
  platform::COLORREF transparentColour = 0xFFFFFF;
  // 8-bit packed DIB of the frame's own size, rows top-down.
  PackedDib8 dib;
};

enum class GifStep {
  Frame,     // a frame came out
  BadFrame,  // an image was found but could not be decoded; the next call moves on
  End,       // no image: malformed blocks, or a stream without any image
};

class GifDecoder {
 public:
  // Parses the header and global colour table and copies the block stream.
  static std::optional<GifDecoder> Open(std::span<const uint8_t> file, const DecodeLimits& limits = {});

  uint16_t ScreenWidth() const { return screenWidth_; }
  uint16_t ScreenHeight() const { return screenHeight_; }
  uint8_t BackgroundIndex() const { return backgroundIndex_; }
  std::span<const uint8_t> GlobalColourTable() const { return {globalTable_.data(), globalEntries_ * 3}; }

  GifStep NextFrame(GifFrame& frame);
  // Back to the first block, as when an animation restarts.
  void Rewind() { position_ = 0; }
  // True when the read position is within one byte of the stream's end: the
  // first image was the last thing in the file.
  bool AtStreamEnd() const { return position_ + 1 >= blocks_.size(); }
  size_t Position() const { return position_; }
  const GifGraphicControl& LastGraphicControl() const { return control_; }

 private:
  bool SkipSubBlocks();
  bool ReadExtension();
  GifStep ReadImage(GifFrame& frame);

  std::vector<uint8_t> blocks_;
  size_t position_ = 0;
  std::array<uint8_t, 256 * 3> globalTable_{};
  size_t globalEntries_ = 0;
  uint16_t screenWidth_ = 0;
  uint16_t screenHeight_ = 0;
  uint8_t backgroundIndex_ = 0;
  GifGraphicControl control_;
  DecodeLimits limits_;
};

}  // namespace runtime::picture::formats
