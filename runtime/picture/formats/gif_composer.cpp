#include "runtime/picture/formats/gif_composer.h"

#include <algorithm>
#include <new>

#include "platform/gdi/raster/surface.h"

namespace runtime::picture::formats {
namespace {

uint32_t PaletteEntry(const uint8_t* palette, uint8_t index) {
  const uint8_t* entry = palette + size_t{index} * 4;  // blue, green, red, 0
  return uint32_t{entry[0]} | (uint32_t{entry[1]} << 8) | (uint32_t{entry[2]} << 16);
}

uint32_t DelayOf(const GifGraphicControl& control) {
  return control.delay == 0 ? kDefaultFrameDelayMs : uint32_t{control.delay} * 10;
}

}  // namespace

GifComposer::GifComposer(GifDecoder decoder, int32_t width, int32_t height, uint32_t background)
    : decoder_(std::move(decoder)), width_(width), height_(height), background_(background) {}

std::optional<GifComposer> GifComposer::Open(std::span<const uint8_t> file, platform::COLORREF background,
                                             const DecodeLimits& limits) {
  try {
    auto decoder = GifDecoder::Open(file, limits.ForSource(file.size()));
    if (!decoder) return std::nullopt;
    const int32_t width = decoder->ScreenWidth(), height = decoder->ScreenHeight();
    // The canvas is shown through a 32-bit bitmap: the gate that every
    // picture passes decides whether it may exist.
    const auto layout = PictureBlock(static_cast<uint64_t>(width), static_cast<uint64_t>(height), 32, 4, 0,
                                     limits.ForSource(file.size()));
    if (!layout) return std::nullopt;
    GifComposer composer(std::move(*decoder), width, height, platform::ColorToPixel(background));
    composer.canvas_.assign(layout->blockBytes / 4, composer.background_);
    return composer;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

void GifComposer::Restart() {
  decoder_.Rewind();
  std::fill(canvas_.begin(), canvas_.end(), background_);
  pendingDisposal_ = gif_disposal::kNone;
  savedArea_.clear();
}

void GifComposer::Dispose() {
  const Area a = pendingArea_;
  const size_t rowLength = static_cast<size_t>(a.right - a.left);
  if (pendingDisposal_ == gif_disposal::kBackground) {
    for (int32_t y = a.top; y < a.bottom; ++y) {
      uint32_t* row = canvas_.data() + static_cast<size_t>(y) * width_ + a.left;
      std::fill(row, row + rowLength, background_);
    }
  } else if (pendingDisposal_ == gif_disposal::kPrevious && !savedArea_.empty()) {
    for (int32_t y = a.top; y < a.bottom; ++y)
      std::copy_n(savedArea_.data() + static_cast<size_t>(y - a.top) * rowLength, rowLength,
                  canvas_.data() + static_cast<size_t>(y) * width_ + a.left);
  }
  pendingDisposal_ = gif_disposal::kNone;
  savedArea_.clear();
}

void GifComposer::Draw(const GifFrame& frame) {
  // Frames reaching past the logical screen are clipped to it.
  Area a;
  a.left = std::min(frame.left, width_);
  a.top = std::min(frame.top, height_);
  a.right = std::min(frame.left + frame.width, width_);
  a.bottom = std::min(frame.top + frame.height, height_);
  const size_t rowLength = static_cast<size_t>(a.right - a.left);

  if (frame.control.disposal == gif_disposal::kPrevious) {
    savedArea_.resize(rowLength * static_cast<size_t>(a.bottom - a.top));
    for (int32_t y = a.top; y < a.bottom; ++y)
      std::copy_n(canvas_.data() + static_cast<size_t>(y) * width_ + a.left, rowLength,
                  savedArea_.data() + static_cast<size_t>(y - a.top) * rowLength);
  }
  const uint8_t* palette = frame.dib.Palette();
  const bool transparent = frame.control.transparent;
  const uint8_t key = frame.control.transparentIndex;
  for (int32_t y = a.top; y < a.bottom; ++y) {
    const uint8_t* source = frame.dib.Row(static_cast<size_t>(y - frame.top));
    uint32_t* target = canvas_.data() + static_cast<size_t>(y) * width_;
    for (int32_t x = a.left; x < a.right; ++x) {
      const uint8_t index = source[x - frame.left];
      if (transparent && index == key) continue;  // the canvas shows through
      target[x] = PaletteEntry(palette, index);
    }
  }
  pendingDisposal_ = frame.control.disposal;
  pendingArea_ = a;
}

GifComposer::Step GifComposer::Advance() {
  Dispose();
  Step step;
  try {
    GifFrame frame;
    const GifStep result = decoder_.NextFrame(frame);
    if (result == GifStep::Frame) {
      Draw(frame);
      step.composed = true;
      step.delayMs = DelayOf(frame.control);
      return step;
    }
  } catch (const std::bad_alloc&) {
    // A frame that cannot be held is skipped like one that fails to decode.
  }
  step.delayMs = DelayOf(decoder_.LastGraphicControl());
  return step;
}

}  // namespace runtime::picture::formats
