// Composes an animated GIF frame by frame on a canvas of its logical screen:
// disposal of the previous frame, transparency by colour index, and the
// delay before the next frame. No threads and no clock: whoever plays the
// animation steps it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/base/types.h"
#include "runtime/picture/formats/gif_decoder.h"
#include "runtime/picture/size_gate.h"

namespace runtime::picture::formats {

// A frame's delay of 0 stands for this.
inline constexpr uint32_t kDefaultFrameDelayMs = 50;

// Disposal methods as the decoder keeps them (the GIF value times 4).
namespace gif_disposal {
inline constexpr int kNone = 0;
inline constexpr int kKeep = 4;
inline constexpr int kBackground = 8;
inline constexpr int kPrevious = 12;
}  // namespace gif_disposal

class GifComposer {
 public:
  // Empty when the header cannot be parsed or the canvas would pass the
  // size gate. The canvas starts filled with `background`.
  static std::optional<GifComposer> Open(std::span<const uint8_t> file, platform::COLORREF background,
                                         const DecodeLimits& limits = {});

  struct Step {
    bool composed = false;  // a frame came out and was drawn
    uint32_t delayMs = kDefaultFrameDelayMs;
  };
  // Undoes the previous frame as its disposal says, then draws the next one.
  // At the end of the stream it starts over at the first frame.
  Step Advance();
  // Back to the first frame on a canvas of the background colour.
  void Restart();
  // True when the last frame read was the last thing in the stream: after
  // the first Advance, the GIF holds a single image.
  bool AtStreamEnd() const { return decoder_.AtStreamEnd(); }

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  // Rows top-down, one 0x00RRGGBB value per pixel.
  const std::vector<uint32_t>& Pixels() const { return canvas_; }

 private:
  GifComposer(GifDecoder decoder, int32_t width, int32_t height, uint32_t background);
  void Draw(const GifFrame& frame);
  void Dispose();

  struct Area {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
  };

  GifDecoder decoder_;
  int32_t width_;
  int32_t height_;
  uint32_t background_;
  std::vector<uint32_t> canvas_;
  // What the frame on the canvas asks to be done before the next is drawn.
  int pendingDisposal_ = gif_disposal::kNone;
  Area pendingArea_;
  std::vector<uint32_t> savedArea_;
};

}  // namespace runtime::picture::formats
