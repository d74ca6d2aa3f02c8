#include "runtime/imageconv/png_reader.h"

#include "runtime/imageconv/image_size.h"

namespace runtime::imageconv {
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
  if (!source_.OpenStream(path, target, progress)) return false;
  if (!PngOpen(&session_, source_.stream.get(), &header_)) return Reset(), false;
  depth_ = DepthFor(header_.colorType);
  if (header_.bitDepth > 8 || depth_ == 0 ||
      !CheckedImageBytes(header_.width, header_.height, depth_ / 8)) {
    return Reset(), false;
  }
  source_.opened = true;
  return true;
}

bool PngReader::Read() {
  if (!source_.opened || !source_.target) return Reset(), false;
  ImageBuffer& image = *source_.target;

  const png_color* palette = nullptr;
  int paletteSize = 0;
  if (header_.colorType == PNG_COLOR_TYPE_PALETTE) {
    if (!PngPalette(&session_, &palette, &paletteSize) || paletteSize > kMaxPaletteEntries) return FailRead(image);
  }
  const auto width = static_cast<int32_t>(header_.width);
  const auto height = static_cast<int32_t>(header_.height);
  const bool reusable = image.Width() == width && image.Height() == height && image.Depth() == depth_ &&
                        image.PaletteSize() == paletteSize;
  if (!reusable && !image.Create(width, height, depth_, paletteSize)) return FailRead(image);
  for (int i = 0; i < paletteSize; ++i) {
    uint8_t* entry = image.Palette() + static_cast<size_t>(i) * kPaletteEntryBytes;
    entry[0] = palette[i].red;
    entry[1] = palette[i].green;
    entry[2] = palette[i].blue;
  }

  PngGammaChunks chunks{};
  if (!PngGammaInfo(&session_, &chunks)) return FailRead(image);
  const double fileGamma = chunks.srgb ? kDefaultFileGamma : chunks.gama ? chunks.gamma : kDefaultFileGamma;
  const PngTransforms transforms{
      .expandGrey = header_.colorType == PNG_COLOR_TYPE_GRAY && header_.bitDepth < 8,
      // Grey with alpha is kept as its grey levels.
      .stripAlpha = header_.colorType == PNG_COLOR_TYPE_GRAY_ALPHA,
      .swapAlpha = true,
      .screenGamma = kScreenGamma,
      .fileGamma = fileGamma,
  };
  int passes = 0;
  size_t rowBytes = 0;
  // Whatever libpng makes of the rows must be exactly the target's rows.
  if (!PngConfigure(&session_, &transforms, &passes, &rowBytes) || rowBytes != image.Stride() || passes < 1) {
    return FailRead(image);
  }
  if (!PngReadImage(&session_, image.Pixels(), image.Stride(), passes, source_.progress)) return FailRead(image);
  Reset();
  return true;
}

void PngReader::Reset() {
  PngDestroy(&session_);
  source_.Close();
  header_ = {};
  depth_ = 0;
}

}  // namespace runtime::imageconv
