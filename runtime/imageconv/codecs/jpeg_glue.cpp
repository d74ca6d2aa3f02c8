#include "runtime/imageconv/codecs/jpeg_glue.h"

#include <new>

#include <jerror.h>

#include "runtime/imageconv/image_size.h"
#include "runtime/jpeg/decode_limits.h"

namespace runtime::imageconv::codecs {
namespace {

[[noreturn]] void JumpOnError(j_common_ptr info) {
  auto* error = reinterpret_cast<JpegErrorState*>(info->err);
  (*info->err->format_message)(info, error->message);
  std::longjmp(error->jump, 1);
}

// Messages are never shown; a premature end of the data is an error, so a
// truncated file never passes as a picture with a grey bottom.
void HandleMessage(j_common_ptr info, int level) {
  if (level < 0) {
    info->err->num_warnings++;
    if (info->err->msg_code == JWRN_JPEG_EOF) JumpOnError(info);
  }
}

void StayQuiet(j_common_ptr) {}

void LimitScans(j_common_ptr info) {
  auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
  if (decompress->input_scan_number > runtime::jpeg::kMaxScans) {
    info->err->msg_code = JERR_NOT_COMPILED;
    JumpOnError(info);
  }
}

void InstallErrorHandling(JpegErrorState* error) {
  jpeg_std_error(&error->manager);
  error->manager.error_exit = JumpOnError;
  error->manager.emit_message = HandleMessage;
  error->manager.output_message = StayQuiet;
  error->message[0] = '\0';
}

bool StartDecode(JpegDecodeSession* session, FILE* in) {
  InstallErrorHandling(&session->error);
  session->info.err = &session->error.manager;
  if (setjmp(session->error.jump)) return false;
  jpeg_create_decompress(&session->info);
  session->created = true;
  session->info.mem->max_memory_to_use = static_cast<long>(kMaxImageBytes);
  session->progress.progress_monitor = LimitScans;
  session->info.progress = &session->progress;
  jpeg_stdio_src(&session->info, in);
  jpeg_read_header(&session->info, TRUE);
  // YCCK comes out as CMYK too, so that one conversion serves both.
  const J_COLOR_SPACE space = session->info.jpeg_color_space;
  if (space == JCS_CMYK || space == JCS_YCCK) session->info.out_color_space = JCS_CMYK;
  jpeg_start_decompress(&session->info);
  return true;
}

bool StartEncode(JpegEncodeSession* session, FILE* out, const JpegEncodeSettings* settings) {
  InstallErrorHandling(&session->error);
  session->info.err = &session->error.manager;
  if (setjmp(session->error.jump)) return false;
  jpeg_create_compress(&session->info);
  session->created = true;
  jpeg_stdio_dest(&session->info, out);
  j_compress_ptr info = &session->info;
  info->image_width = settings->width;
  info->image_height = settings->height;
  info->input_components = settings->grey ? 1 : 3;
  info->in_color_space = settings->grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(info);
  info->optimize_coding = settings->optimize;
  info->smoothing_factor = settings->smoothing;
  jpeg_set_quality(info, settings->quality, TRUE);
  jpeg_start_compress(info, TRUE);
  return true;
}

}  // namespace

JpegDecoder JpegBeginDecode(FILE* in) {
  JpegDecoder session(new (std::nothrow) JpegDecodeSession{});
  if (!session || !StartDecode(session.get(), in)) return nullptr;
  return session;
}

bool JpegReadRow(JpegDecodeSession* session, uint8_t* row) {
  if (setjmp(session->error.jump)) return false;
  JSAMPROW rows[1] = {row};
  return jpeg_read_scanlines(&session->info, rows, 1) == 1;
}

void JpegEndDecode(JpegDecodeSession* session) {
  if (session->created) jpeg_destroy_decompress(&session->info);
  delete session;
}

JpegEncoder JpegBeginEncode(FILE* out, const JpegEncodeSettings* settings) {
  JpegEncoder session(new (std::nothrow) JpegEncodeSession{});
  if (!session || !StartEncode(session.get(), out, settings)) return nullptr;
  return session;
}

bool JpegEncodeRows(JpegEncodeSession* session, const uint8_t* pixels, size_t stride, ProgressCallback progress,
                    const RowFeed* feed) {
  if (setjmp(session->error.jump)) return false;
  j_compress_ptr info = &session->info;
  const auto height = static_cast<int32_t>(info->image_height);
  while (info->next_scanline < info->image_height) {
    const JDIMENSION row = info->next_scanline;
    if (feed && !feed->WaitFor(static_cast<int32_t>(row) + 1)) return false;
    JSAMPROW rows[1] = {const_cast<uint8_t*>(pixels) + static_cast<size_t>(row) * stride};
    if (jpeg_write_scanlines(info, rows, 1) != 1) return false;
    ReportProgress(progress, kProgressWriting, static_cast<int32_t>(row), height);
  }
  return true;
}

bool JpegFinishEncode(JpegEncodeSession* session) {
  if (setjmp(session->error.jump)) return false;
  jpeg_finish_compress(&session->info);
  return true;
}

void JpegEndEncode(JpegEncodeSession* session) {
  if (session->created) jpeg_destroy_compress(&session->info);
  delete session;
}

}  // namespace runtime::imageconv::codecs
