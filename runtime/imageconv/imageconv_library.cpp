#include "runtime/imageconv/imageconv_library.h"

#include <iterator>

#include "runtime/imageconv/convert_image.h"

namespace runtime::imageconv {
namespace {

// The library's command routines, in the order of its command list.
const CommandRoutine kImageConvCommands[] = {ConvertImage};

LibraryEntry MakeImageConversionLibrary() {
  LibraryEntry entry;
  entry.identifier = "54657373656c6c6f6e496d616765436f";
  entry.version[0] = 2;
  entry.version[2] = 4;
  entry.furtherVersions[0] = 3;
  entry.furtherVersions[2] = 3;
  entry.displayName = "image conversion";
  entry.commandCount = static_cast<int32_t>(std::size(kImageConvCommands));
  entry.commands = kImageConvCommands;
  entry.notify = &ImageConvNotify;
  return entry;
}

}  // namespace

const LibraryEntry& ImageConversionLibrary() {
  static const LibraryEntry entry = MakeImageConversionLibrary();
  return entry;
}

}  // namespace runtime::imageconv
