#include "runtime/imageconv/codecs/image_reader.h"

#include "platform/files/file_stream.h"

namespace runtime::imageconv::codecs {

bool ReaderSource::OpenStream(const char* openPath, ImageBuffer* openTarget, ProgressCallback openProgress) {
  stream.reset(platform::OpenFileStreamA(openPath, "rb"));
  if (!stream) return false;
  path = openPath;
  target = openTarget;
  progress = openProgress;
  return true;
}

}  // namespace runtime::imageconv::codecs
