#include "tools/photograph_decode.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace formgen {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool warned;
};

void OnError(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  info->err->format_message(info, errors->message);
  std::longjmp(errors->jump, 1);
}

void OnMessage(j_common_ptr info, int level) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  // Level -1 is a warning; the first one is the one worth telling.
  if (level < 0 && !errors->warned) {
    info->err->format_message(info, errors->message);
    errors->warned = true;
  }
}

// Every local here is trivial: a longjmp out of libjpeg crosses this frame.
// Returns 1 when all rows came out, 0 after an error.
int DecodeRows(jpeg_decompress_struct* info, ErrorManager* errors, const uint8_t* data, size_t size, JSAMPLE* row,
               size_t rowBytes) {
  if (setjmp(errors->jump)) return 0;
  jpeg_create_decompress(info);
  jpeg_mem_src(info, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
  jpeg_read_header(info, TRUE);
  info->out_color_space = JCS_RGB;
  jpeg_start_decompress(info);
  if (static_cast<size_t>(info->output_width) * static_cast<size_t>(info->output_components) > rowBytes) {
    std::snprintf(errors->message, sizeof errors->message, "rows of %u pixels are too wide to check",
                  info->output_width);
    return 0;
  }
  while (info->output_scanline < info->output_height) {
    JSAMPROW rows[1] = {row};
    if (jpeg_read_scanlines(info, rows, 1) != 1) {
      std::snprintf(errors->message, sizeof errors->message, "no data for row %u", info->output_scanline);
      return 0;
    }
  }
  jpeg_finish_decompress(info);
  return 1;
}

}  // namespace

DecodeResult DecodeWholeJpeg(const uint8_t* data, size_t size) {
  DecodeResult result;
  jpeg_decompress_struct info;
  ErrorManager errors;
  std::memset(&info, 0, sizeof info);
  std::memset(&errors, 0, sizeof errors);
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  errors.base.emit_message = OnMessage;
  // JPEG rows are at most 65535 pixels of three bytes.
  std::vector<JSAMPLE> row(65535 * 3);
  const int decoded = size > 0 ? DecodeRows(&info, &errors, data, size, row.data(), row.size()) : 0;
  result.width = static_cast<int>(info.output_width);
  result.height = static_cast<int>(info.output_height);
  jpeg_destroy_decompress(&info);
  result.ok = decoded == 1 && !errors.warned;
  result.message = size == 0 ? "the file is empty" : errors.message;
  return result;
}

}  // namespace formgen
