#include "runtime/picture/formats/png_glue.h"

#include <cstdlib>
#include <cstring>

#include <png.h>

namespace runtime::picture::formats {

struct PngSession {
  png_image image;
};

PngSession* PngBegin(std::span<const uint8_t> bytes, uint32_t* width, uint32_t* height) {
  auto* session = static_cast<PngSession*>(std::calloc(1, sizeof(PngSession)));
  if (!session) return nullptr;
  session->image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&session->image, bytes.data(), bytes.size())) {
    PngEnd(session);
    return nullptr;
  }
  *width = session->image.width;
  *height = session->image.height;
  return session;
}

bool PngFinishBgra(PngSession* session, uint8_t* pixels) {
  session->image.format = PNG_FORMAT_BGRA;
  return png_image_finish_read(&session->image, nullptr, pixels, 0, nullptr) != 0;
}

void PngEnd(PngSession* session) {
  if (!session) return;
  png_image_free(&session->image);
  std::free(session);
}

}  // namespace runtime::picture::formats
