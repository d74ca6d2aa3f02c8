#include "runtime/imageconv/codecs/tiff_reader.h"

#include <utility>

#include "runtime/imageconv/image_size.h"

namespace runtime::imageconv::codecs {

bool TiffReader::Open(const char* path, ImageBuffer* target, ProgressCallback progress) {
  Reset();
  OpenFile file;
  if (!target || !file.source.OpenStream(path, target, progress)) return false;
  file.tiff = OpenTiffQuietly(file.source.stream.get(), path);
  if (!file.tiff) return false;
  uint32_t width = 0, height = 0;
  if (!TiffImageSize(*file.tiff, &width, &height) || width == 0 || height == 0 ||
      !CheckedImageBytes(width, height, 4)) {
    return false;
  }
  file.width = static_cast<int32_t>(width);
  file.height = static_cast<int32_t>(height);
  file_ = std::move(file);
  return true;
}

bool TiffReader::Read() {
  const std::optional<OpenFile> taken = TakeForRead();
  if (!taken) return false;
  const OpenFile& file = *taken;
  ImageBuffer& image = *file.source.target;
  const int32_t height = file.height;
  const bool reusable = image.Width() == file.width && image.Height() == height && image.Depth() == 24;
  if (!reusable && !image.Create(file.width, height, 24, 0)) return FailRead(image);
  // The RGBA raster lives in a store of its own, deleted when the read ends.
  ScratchStore raster;
  auto rasterBytes = CheckedImageBytes(file.width, height, 4);
  if (!rasterBytes || !raster.Allocate(*rasterBytes)) return FailRead(image);
  auto* pixels = reinterpret_cast<uint32_t*>(raster.Data());
  if (!TiffReadRgba(*file.tiff, static_cast<uint32_t>(file.width), static_cast<uint32_t>(height), pixels)) {
    return FailRead(image);
  }
  // libtiff delivers the bottom row first.
  const size_t width = static_cast<size_t>(file.width);
  for (int32_t y = 0; y < height; ++y) {
    const uint32_t* in = pixels + static_cast<size_t>(height - 1 - y) * width;
    uint8_t* out = image.Row(y);
    for (size_t x = 0; x < width; ++x, out += 3) {
      out[0] = static_cast<uint8_t>(TIFFGetR(in[x]));
      out[1] = static_cast<uint8_t>(TIFFGetG(in[x]));
      out[2] = static_cast<uint8_t>(TIFFGetB(in[x]));
    }
    ReportProgress(file.source.progress, kProgressReading, y, height);
  }
  return true;
}

}  // namespace runtime::imageconv::codecs
