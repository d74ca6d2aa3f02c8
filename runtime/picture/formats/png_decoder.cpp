// PNG pictures: top-down rows of blue, green, red and alpha.
#include <memory>

#include "runtime/picture/formats/decoders.h"
#include "runtime/picture/formats/png_glue.h"
#include "runtime/picture/formats/png_stream.h"
#include "runtime/picture/pixel_block.h"

namespace runtime::picture::formats {

namespace {
struct SessionEnder {
  void operator()(PngSession* session) const { PngEnd(session); }
};
}  // namespace

PicturePtr DecodePng(ByteSource& source, const DecodeLimits& limits) {
  const auto whole = WholeBytes::From(source, limits.maxBlockBytes);
  if (!whole || whole->Bytes().size() < 8) return nullptr;
  uint32_t width = 0, height = 0;
  std::unique_ptr<PngSession, SessionEnder> session(PngBegin(whole->Bytes(), &width, &height));
  if (!session) return nullptr;
  const auto layout = PictureBlock(width, height, 32, 1, 0, limits);
  if (!layout || width > INT32_MAX) return nullptr;
  // Held to its header's size first, then to what that size inflates to.
  if (!PngInflatesWithinItsRows(whole->Bytes())) return nullptr;
  const auto blockBytes = layout->blockBytes;
  PixelBlock block = PixelBlock::Zeroed(blockBytes);
  if (block.empty()) return nullptr;
  if (!PngFinishBgra(session.get(), block.data())) return nullptr;
  return MakePicture(PictureKind::Png, static_cast<int32_t>(width), static_cast<int32_t>(height), std::move(block));
}

}  // namespace runtime::picture::formats
