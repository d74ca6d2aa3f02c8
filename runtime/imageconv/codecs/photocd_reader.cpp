#include "runtime/imageconv/codecs/photocd_reader.h"

#include <array>
#include <cmath>
#include <utility>

#include "runtime/imageconv/byte_input.h"
#include "runtime/imageconv/image_size.h"

namespace runtime::imageconv::codecs {
namespace {

// Anything shorter cannot be an image pack.
constexpr uint64_t kMinimumFileBytes = 0x100000;
// Every image pack names itself here; size alone would take any large file.
constexpr uint64_t kSignatureOffset = 0x800;
constexpr std::array<uint8_t, 7> kSignature = {'P', 'C', 'D', '_', 'I', 'P', 'I'};

struct ResolutionClass {
  int32_t width;
  int32_t height;
  uint64_t offset;
};
constexpr ResolutionClass kClasses[] = {
    {192, 128, 0x2000},
    {384, 256, 0xB800},
    {768, 512, 0x30000},
};

uint8_t Clamp(double value) {
  const double rounded = std::floor(value + 0.5);
  if (rounded < 0) return 0;
  if (rounded > 255) return 255;
  return static_cast<uint8_t>(rounded);
}

}  // namespace

void PhotoCdPixel(uint8_t luma, uint8_t chroma1, uint8_t chroma2, uint8_t* rgb) {
  const double y = luma;
  const double k1 = static_cast<double>(chroma1) - 156;
  const double k2 = static_cast<double>(chroma2) - 137;
  rgb[0] = Clamp(1.407488 * y + 0.0000256 * k1 + 1.3230336 * k2);
  rgb[1] = Clamp(1.407488 * y - 0.3954176 * k1 - 0.67392 * k2);
  rgb[2] = Clamp(1.407488 * y + 2.0360448 * k1 + 0.0000256 * k2);
}

bool PhotoCdReader::Open(const char* path, ImageBuffer* target, int32_t resolutionClass, ProgressCallback progress) {
  Reset();
  if (resolutionClass < 0 || resolutionClass > 2) return false;
  OpenFile file;
  if (!file.source.OpenStream(path, target, progress)) return false;
  FILE* in = file.source.stream.get();
  auto fileSize = StreamFileSize(in);
  if (!fileSize || *fileSize < kMinimumFileBytes) return false;
  std::array<uint8_t, kSignature.size()> signature{};
  if (!SeekTo(in, kSignatureOffset) || !ReadExact(in, signature.data(), signature.size()) || signature != kSignature) {
    return false;
  }
  const ResolutionClass& chosen = kClasses[resolutionClass];
  file.width = chosen.width;
  file.height = chosen.height;
  file.offset = chosen.offset;
  file_ = std::move(file);
  return true;
}

bool PhotoCdReader::Read() {
  const std::optional<OpenFile> taken = TakeForRead();
  if (!taken) return false;
  const OpenFile& file = *taken;
  FILE* in = file.source.stream.get();
  ImageBuffer& image = *file.source.target;
  const int32_t height = file.height;
  const size_t width = static_cast<size_t>(file.width);
  // The row buffers live in stores of their own, deleted when the read ends.
  ScratchStore luma1, luma2, chroma;
  if (!image.Create(file.width, height, 24, 0) || !luma1.Allocate(width) || !luma2.Allocate(width) ||
      !chroma.Allocate(width) || !SeekTo(in, file.offset)) {
    return FailRead(image);
  }
  const size_t half = width / 2;
  for (int32_t y = 0; y < height; y += 2) {
    if (!ReadExact(in, luma1.Data(), width) || !ReadExact(in, luma2.Data(), width) ||
        !ReadExact(in, chroma.Data(), width)) {
      return FailRead(image);
    }
    const uint8_t* chroma1 = chroma.Data();
    const uint8_t* chroma2 = chroma.Data() + half;
    for (int32_t r = 0; r < 2 && y + r < height; ++r) {
      const uint8_t* luma = r == 0 ? luma1.Data() : luma2.Data();
      uint8_t* out = image.Row(y + r);
      for (size_t i = 0; i < width; ++i, out += 3) PhotoCdPixel(luma[i], chroma1[i / 2], chroma2[i / 2], out);
      ReportProgress(file.source.progress, kProgressReading, y + r, height);
    }
  }
  return true;
}

}  // namespace runtime::imageconv::codecs
