#include "runtime/imageconv/codecs/png_glue.h"

#include <csetjmp>
#include <new>

namespace runtime::imageconv::codecs {
namespace {

[[noreturn]] void JumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void IgnoreWarning(png_structp, png_const_charp) {}

void ReadFromStream(png_structp png, png_bytep data, size_t length) {
  auto* in = static_cast<FILE*>(png_get_io_ptr(png));
  if (std::fread(data, 1, length, in) != length) png_error(png, "reading png image error");
}

bool ReadHeader(PngSession* session, PngHeader* header) {
  session->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
  if (!session->png) return false;
  if (setjmp(png_jmpbuf(session->png))) return false;
  session->info = png_create_info_struct(session->png);
  if (!session->info) return false;
  png_set_read_fn(session->png, session->in, ReadFromStream);
  png_read_info(session->png, session->info);
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0;
  png_get_IHDR(session->png, session->info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
  header->width = width;
  header->height = height;
  header->bitDepth = bitDepth;
  header->colorType = colorType;
  return true;
}

}  // namespace

PngReadSession PngOpen(FILE* in, PngHeader* header) {
  PngReadSession session(new (std::nothrow) PngSession{});
  if (!session) return nullptr;
  session->in = in;
  if (!ReadHeader(session.get(), header)) return nullptr;
  return session;
}

bool PngPalette(PngSession* session, const png_color** entries, int* count) {
  if (setjmp(png_jmpbuf(session->png))) return false;
  png_colorp palette = nullptr;
  int number = 0;
  if (!png_get_PLTE(session->png, session->info, &palette, &number)) {
    palette = nullptr;
    number = 0;
  }
  *entries = palette;
  *count = number;
  return true;
}

bool PngGammaInfo(PngSession* session, PngGammaChunks* chunks) {
  if (setjmp(png_jmpbuf(session->png))) return false;
  int intent = 0;
  chunks->srgb = png_get_sRGB(session->png, session->info, &intent) != 0;
  double gamma = 0;
  chunks->gama = png_get_gAMA(session->png, session->info, &gamma) != 0;
  chunks->gamma = gamma;
  return true;
}

bool PngConfigure(PngSession* session, const PngTransforms* transforms, int* passes, size_t* rowBytes) {
  if (setjmp(png_jmpbuf(session->png))) return false;
  png_structp png = session->png;
  png_set_packing(png);
  if (transforms->expandGrey) png_set_expand_gray_1_2_4_to_8(png);
  if (transforms->stripAlpha) png_set_strip_alpha(png);
  png_set_gamma(png, transforms->screenGamma, transforms->fileGamma);
  if (transforms->swapAlpha) png_set_swap_alpha(png);
  *passes = png_set_interlace_handling(png);
  png_read_update_info(png, session->info);
  *rowBytes = png_get_rowbytes(png, session->info);
  return true;
}

bool PngReadImage(PngSession* session, uint8_t* pixels, size_t stride, int passes, ProgressCallback progress) {
  if (setjmp(png_jmpbuf(session->png))) return false;
  png_structp png = session->png;
  const png_uint_32 height = png_get_image_height(png, session->info);
  for (int pass = 0; pass < passes; ++pass) {
    for (png_uint_32 y = 0; y < height; ++y) {
      png_bytep row = pixels + static_cast<size_t>(y) * stride;
      png_read_rows(png, &row, nullptr, 1);
      ReportProgress(progress, kProgressReading, static_cast<int32_t>(y), static_cast<int32_t>(height));
    }
  }
  png_read_end(png, nullptr);
  return true;
}

void PngDestroy(PngSession* session) {
  if (session->png) png_destroy_read_struct(&session->png, session->info ? &session->info : nullptr, nullptr);
  delete session;
}

}  // namespace runtime::imageconv::codecs
