// JPEG pictures: scan lines from libjpeg written straight into their final
// bottom-up, blue-green-red rows of one block.
#include <memory>
#include <vector>

#include "runtime/jpeg/cmyk.h"
#include "runtime/picture/formats/decoders.h"
#include "runtime/picture/formats/jpeg_glue.h"
#include "runtime/picture/pixel_block.h"

namespace runtime::picture::formats {

namespace {

struct SessionCloser {
  void operator()(JpegSession* session) const { JpegClose(session); }
};

void GreyToBgr(const uint8_t* grey, uint8_t* out, size_t width) {
  for (size_t x = 0; x < width; ++x, out += 3) out[0] = out[1] = out[2] = grey[x];
}

}  // namespace

PicturePtr DecodeJpeg(ByteSource& source, const DecodeLimits& limits) {
  std::unique_ptr<JpegSession, SessionCloser> session(JpegOpen(&source));
  if (!session) return nullptr;
  JpegHeaderInfo header;
  if (!JpegReadHeader(session.get(), &header)) return nullptr;

  // Checked before decompression starts: a progressive file is read whole then.
  const auto layout = PictureBlock(header.width, header.height, 24, 1, 0, limits);
  if (!layout) return nullptr;
  const auto rowBytes = layout->rowBytes;
  const auto blockBytes = layout->blockBytes;

  int components = 0;
  if (!JpegStart(session.get(), header.colour, &components)) return nullptr;
  const bool direct = header.colour == JpegColour::Rgb && components == 3;
  const bool grey = header.colour == JpegColour::Grey && components == 1;
  const bool cmyk =
      (header.colour == JpegColour::Cmyk || header.colour == JpegColour::AdobeInvertedCmyk) && components == 4;

  PixelBlock block = PixelBlock::Zeroed(blockBytes);
  if (block.empty()) return nullptr;
  const size_t width = header.width;
  std::vector<uint8_t> line;
  if (!direct) line.resize(width * static_cast<size_t>(components > 0 ? components : 1));

  for (uint32_t y = 0; y < header.height; ++y) {
    uint8_t* row = block.data() + static_cast<size_t>(header.height - 1 - y) * rowBytes;
    if (direct) {
      if (!JpegReadLine(session.get(), row)) return nullptr;
      continue;
    }
    if (!JpegReadLine(session.get(), line.data())) return nullptr;
    if (grey) {
      GreyToBgr(line.data(), row, width);
    } else if (cmyk) {
      runtime::jpeg::CmykRowToColour(line.data(), row, width, header.colour == JpegColour::AdobeInvertedCmyk,
                                     runtime::jpeg::ChannelOrder::Bgr);
    }
    // Any other component layout has no defined colours: its rows stay black.
  }
  if (!JpegFinish(session.get())) return nullptr;
  return MakePicture(PictureKind::Jpeg, static_cast<int32_t>(header.width), static_cast<int32_t>(header.height),
                     std::move(block));
}

}  // namespace runtime::picture::formats
