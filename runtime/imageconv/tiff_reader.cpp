#include "runtime/imageconv/tiff_reader.h"

#include "runtime/imageconv/image_size.h"

namespace runtime::imageconv {

bool TiffReader::Open(const char* path, ImageBuffer* target, ProgressCallback progress) {
  Reset();
  if (!target || !source_.OpenStream(path, target, progress)) return Reset(), false;
  diagnostics_ = std::make_unique<TiffDiagnostics>();
  tiff_ = OpenTiffQuietly(source_.stream.get(), path, diagnostics_.get());
  if (!tiff_) return Reset(), false;
  uint32_t width = 0, height = 0;
  if (!TIFFGetField(tiff_, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tiff_, TIFFTAG_IMAGELENGTH, &height) ||
      width == 0 || height == 0 || !CheckedImageBytes(width, height, 4)) {
    return Reset(), false;
  }
  width_ = static_cast<int32_t>(width);
  height_ = static_cast<int32_t>(height);
  source_.opened = true;
  return true;
}

bool TiffReader::Read() {
  if (!source_.opened || !source_.target) return Reset(), false;
  ImageBuffer& image = *source_.target;
  const bool reusable = image.Width() == width_ && image.Height() == height_ && image.Depth() == 24;
  if (!reusable && !image.Create(width_, height_, 24, 0)) return FailRead(image);
  // The RGBA raster lives in a store of its own, deleted when the read ends.
  ScratchStore raster;
  auto rasterBytes = CheckedImageBytes(width_, height_, 4);
  if (!rasterBytes || !raster.Allocate(*rasterBytes)) return FailRead(image);
  auto* pixels = reinterpret_cast<uint32_t*>(raster.Data());
  // Errors are counted even where libtiff carries on past them: a file with
  // missing or damaged strips is not a picture.
  const int errorsBefore = diagnostics_->errors;
  if (!TIFFReadRGBAImage(tiff_, static_cast<uint32_t>(width_), static_cast<uint32_t>(height_), pixels, 0) ||
      diagnostics_->errors != errorsBefore) {
    return FailRead(image);
  }
  // libtiff delivers the bottom row first.
  const size_t width = static_cast<size_t>(width_);
  for (int32_t y = 0; y < height_; ++y) {
    const uint32_t* in = pixels + static_cast<size_t>(height_ - 1 - y) * width;
    uint8_t* out = image.Row(y);
    for (size_t x = 0; x < width; ++x, out += 3) {
      out[0] = static_cast<uint8_t>(TIFFGetR(in[x]));
      out[1] = static_cast<uint8_t>(TIFFGetG(in[x]));
      out[2] = static_cast<uint8_t>(TIFFGetB(in[x]));
    }
    ReportProgress(source_.progress, kProgressReading, y, height_);
  }
  Reset();
  return true;
}

void TiffReader::Reset() {
  if (tiff_) TIFFClose(tiff_);
  tiff_ = nullptr;
  diagnostics_.reset();
  source_.Close();
  width_ = height_ = 0;
}

}  // namespace runtime::imageconv
