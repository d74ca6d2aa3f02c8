// Feeds arbitrary bytes to the reader chain as a file, touches every output
// pixel (so uninitialised output shows up) and checks that no pixel store
// file outlives the call.
#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/imageconv/conversion/convert_image.h"
#include "runtime/imageconv/image_size.h"

namespace {

struct FuzzDirectory {
  std::string path;
  std::string input;
  FuzzDirectory() {
    char pattern[] = "/tmp/imageconv-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) abort();
    path = pattern;
    input = path + "/input.bin";
    // Pixel stores land here too, where leftovers are easy to see.
    setenv("TMPDIR", path.c_str(), 1);
  }
  ~FuzzDirectory() {
    unlink(input.c_str());
    rmdir(path.c_str());
  }
};

FuzzDirectory& Directory() {
  static FuzzDirectory directory;
  return directory;
}

bool StoreFileLeft(const std::string& directory) {
  DIR* dir = opendir(directory.c_str());
  if (!dir) return false;
  bool found = false;
  while (dirent* entry = readdir(dir)) found |= std::strncmp(entry->d_name, "CSWCLASS", 8) == 0;
  closedir(dir);
  return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzDirectory& directory = Directory();
  FILE* file = std::fopen(directory.input.c_str(), "wb");
  if (!file) abort();
  if (size && std::fwrite(data, 1, size, file) != size) abort();
  std::fclose(file);

  {
    runtime::imageconv::ImageBuffer image;
    const int32_t result = runtime::imageconv::conversion::LoadImageFile(directory.input.c_str(), image);
    if (result == runtime::imageconv::conversion::kConverted) {
      if (!image.HoldsImage()) abort();
      uint32_t sum = 0;
      const size_t bytes = image.Stride() * static_cast<size_t>(image.Height());
      for (size_t i = 0; i < bytes; ++i) sum += image.Pixels()[i];
      if (image.Palette()) {
        for (int32_t i = 0; i < image.PaletteSize() * 8; ++i) sum += image.Palette()[i];
      }
      // The conversion may only fail where its 24-bit result is over the cap.
      runtime::imageconv::ImageBuffer colour;
      if (!image.ConvertTo(colour, 24) && runtime::imageconv::CheckedImageBytes(image.Width(), image.Height(), 3))
        abort();
      // Keeps the sum alive so the reads are not optimised away.
      if (sum == 0xFFFFFFFFu) std::fputc(0, stderr);
    } else if (result != runtime::imageconv::conversion::kSourceUnreadable) {
      abort();  // the file exists, so only "read" or "unreadable" are possible
    } else if (image.HoldsImage()) {
      abort();
    }
  }
  if (StoreFileLeft(directory.path)) abort();
  return 0;
}
