#include "runtime/imageconv/codecs/png_reader.h"

#include <utility>

#include "runtime/imageconv/image_size.h"

namespace runtime::imageconv::codecs {
namespace {

constexpr double kScreenGamma = 2.2;
// The gamma of sRGB data and of files that state none.
constexpr double kDefaultFileGamma = 0.45455;

int32_t DepthFor(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_PALETTE:
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 8;
    case PNG_COLOR_TYPE_RGB: return 24;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 32;
    default: return 0;
  }
}

}  // namespace

bool PngReader::Open(const char* path, ImageBuffer* target, ProgressCallback progress) {
  Reset();
  OpenFile file;
  if (!file.source.OpenStream(path, target, progress)) return false;
  file.session = PngOpen(file.source.stream.get(), &file.header);
  if (!file.session) return false;
  file.depth = DepthFor(file.header.colorType);
  if (file.header.bitDepth > 8 || file.depth == 0 ||
      !CheckedImageBytes(file.header.width, file.header.height, file.depth / 8)) {
    return false;
  }
  file_ = std::move(file);
  return true;
}

bool PngReader::Read() {
  const std::optional<OpenFile> taken = TakeForRead();
  if (!taken) return false;
  const OpenFile& file = *taken;
  PngSession* session = file.session.get();
  const PngHeader& header = file.header;
  ImageBuffer& image = *file.source.target;

  const png_color* palette = nullptr;
  int paletteSize = 0;
  if (header.colorType == PNG_COLOR_TYPE_PALETTE) {
    if (!PngPalette(session, &palette, &paletteSize) || paletteSize > kMaxPaletteEntries) return FailRead(image);
  }
  const auto width = static_cast<int32_t>(header.width);
  const auto height = static_cast<int32_t>(header.height);
  const bool reusable = image.Width() == width && image.Height() == height && image.Depth() == file.depth &&
                        image.PaletteSize() == paletteSize;
  if (!reusable && !image.Create(width, height, file.depth, paletteSize)) return FailRead(image);
  for (int i = 0; i < paletteSize; ++i) {
    uint8_t* entry = image.Palette() + static_cast<size_t>(i) * kPaletteEntryBytes;
    entry[0] = palette[i].red;
    entry[1] = palette[i].green;
    entry[2] = palette[i].blue;
  }

  PngGammaChunks chunks{};
  if (!PngGammaInfo(session, &chunks)) return FailRead(image);
  const double fileGamma = chunks.srgb ? kDefaultFileGamma : chunks.gama ? chunks.gamma : kDefaultFileGamma;
  const PngTransforms transforms{
      .expandGrey = header.colorType == PNG_COLOR_TYPE_GRAY && header.bitDepth < 8,
      // Grey with alpha is kept as its grey levels.
      .stripAlpha = header.colorType == PNG_COLOR_TYPE_GRAY_ALPHA,
      .swapAlpha = true,
      .screenGamma = kScreenGamma,
      .fileGamma = fileGamma,
  };
  int passes = 0;
  size_t rowBytes = 0;
  // Whatever libpng makes of the rows must be exactly the target's rows.
  if (!PngConfigure(session, &transforms, &passes, &rowBytes) || rowBytes != image.Stride() || passes < 1) {
    return FailRead(image);
  }
  if (!PngReadImage(session, image.Pixels(), image.Stride(), passes, file.source.progress)) return FailRead(image);
  return true;
}

}  // namespace runtime::imageconv::codecs
