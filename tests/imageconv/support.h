// Shared helpers of the image conversion tests: a private temporary
// directory, reference pictures, independent encoders and the command.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/imageconv/image_buffer.h"

namespace runtime::imageconv::testing {

namespace fs = std::filesystem;

// The process's own temporary directory (TMPDIR points here, so the pixel
// store's files land in it) and a work directory for sample files.
const fs::path& StoreDirectory();
fs::path WorkPath(const std::string& name);

// Names of the pixel store files now present.
std::vector<std::string> StoreFiles();
// How many distinct files in the store directory this process holds open,
// named or not: the stores it holds.
size_t HeldStoreFiles();

// A picture as red, green, blue rows, top first.
struct Rgb {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width × height × 3

  const uint8_t* At(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 3]; }
};

// A picture with distinct rows and columns and hard edges: reading it back
// exactly shows rows and channels in the right places.
Rgb TestPattern(int width, int height);
// A smooth picture for lossy round trips.
Rgb SmoothPattern(int width, int height);

void WritePpm(const fs::path& path, const Rgb& image);
// Binary PPM (P6) or PGM (P5, as three equal channels).
Rgb ReadPnm(const fs::path& path);
void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const fs::path& path);

// Runs a shell command; true on exit status 0.
bool RunTool(const std::string& command);
std::string Quote(const fs::path& path);
// Independent encoders.
inline const std::string kConvert = "/usr/bin/convert";
inline const std::string kPython = "/usr/bin/python3";
// Runs tests/imageconv/make_sample.py with Pillow: KIND IN.ppm OUT.
bool Pillow(const std::string& kind, const fs::path& in, const fs::path& out);

// djpeg's decoding of a JPEG file, as the independent reference.
Rgb DecodeWithDjpeg(const fs::path& jpeg);

// Writes CMYK pixels (four bytes each, stored as given) with libjpeg at
// quality 100, as YCCK when `ycck`; libjpeg adds the Adobe marker unless
// `adobeMarker` is false (plain CMYK only).
void WriteCmykJpeg(const fs::path& path, int width, int height, const std::vector<uint8_t>& cmyk, bool ycck,
                   bool adobeMarker);

// The 24-bit pixels of an image buffer as a picture (the buffer must be 24).
Rgb FromBuffer(const ImageBuffer& image);

// Calls ConvertImage as the runtime does; null paths stay null records.
int32_t Convert(const char* source, const char* destination, int32_t grayscale = 0, int32_t quality = 75,
                int32_t optimize = 1, int32_t smoothing = 0);

// For a child process of a test run as root: gives up the powers to read and
// write past permission bits, so that the bits bind it as they bind a user.
// True when they bind.
bool HonourPermissionBits();

// Little-endian field writers for hand-built files.
void Put16(std::vector<uint8_t>& bytes, uint16_t value);
void Put32(std::vector<uint8_t>& bytes, uint32_t value);

}  // namespace runtime::imageconv::testing
