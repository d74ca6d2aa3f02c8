#include "runtime/imageconv/conversion/imageconv_library.h"

#include <iterator>

#include "runtime/imageconv/conversion/convert_image.h"

namespace runtime::imageconv::conversion {
namespace {

// The library's command routines, in the order of its command list.
const CommandRoutine kImageConvCommands[] = {ConvertImage};

}  // namespace

const LibraryEntry& ImageConversionLibrary() {
  static const LibraryEntry entry{
      .identifier = "54657373656c6c6f6e496d616765436f",
      .version = {2, 0, 4},
      .furtherVersions = {3, 0, 3, 0},
      .displayName = "image conversion",
      .commandCount = static_cast<int32_t>(std::size(kImageConvCommands)),
      .commands = kImageConvCommands,
      .notify = &ImageConvNotify,
  };
  return entry;
}

}  // namespace runtime::imageconv::conversion
