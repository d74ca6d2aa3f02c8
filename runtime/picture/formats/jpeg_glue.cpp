#include "runtime/picture/formats/jpeg_glue.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/memory/large_blocks.h"
#include "runtime/jpeg/decode_limits.h"

// The JPEG library takes its large pool (a progressive picture's whole
// coefficient buffer, megabytes that it zeroes at once) through these two
// calls, which its design leaves to each system. Defined here, in the
// program, they take the place of the library's plain malloc and free for
// every JPEG session of the process, and a large pool comes on huge pages,
// unset like malloc's: the library zeroes what it needs zeroed.
// Were the library ever built to call its own, it would simply keep them.
extern "C" {
void* jpeg_get_large(j_common_ptr, size_t bytes) { return platform::AllocateUnset(bytes); }
void jpeg_free_large(j_common_ptr, void* block, size_t) { platform::FreeBlock(block); }
}

namespace runtime::picture::formats {

namespace {

constexpr size_t kChunkBytes = 4096;

struct SilentErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

struct StreamSourceManager {
  jpeg_source_mgr base;
  ByteSource* source;
  bool anyRead;
  JOCTET buffer[kChunkBytes];
};

}  // namespace

// Plain C-style aggregate: created with calloc, no constructors or destructors.
struct JpegSession {
  jpeg_decompress_struct info;
  SilentErrorManager error;
  StreamSourceManager source;
  jpeg_progress_mgr progress;
  bool created;
};

namespace {

[[noreturn]] void JumpOnError(j_common_ptr common) {
  auto* error = reinterpret_cast<SilentErrorManager*>(common->err);
  std::longjmp(error->jump, 1);
}

void IgnoreMessage(j_common_ptr) {}

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info) {
  auto* src = reinterpret_cast<StreamSourceManager*>(info->src);
  size_t got = src->source->Read(src->buffer, kChunkBytes);
  if (got == 0) {
    if (!src->anyRead) ERREXIT(info, JERR_INPUT_EMPTY);
    // A truncated file still shows what arrived; the rest stays grey.
    WARNMS(info, JWRN_JPEG_EOF);
    src->buffer[0] = 0xFF;
    src->buffer[1] = JPEG_EOI;
    got = 2;
  }
  src->anyRead = true;
  src->base.next_input_byte = src->buffer;
  src->base.bytes_in_buffer = got;
  return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  auto* src = reinterpret_cast<StreamSourceManager*>(info->src);
  size_t left = static_cast<size_t>(count);
  while (left > src->base.bytes_in_buffer) {
    left -= src->base.bytes_in_buffer;
    FillInputBuffer(info);  // supplies an end marker at the end of the data
  }
  src->base.next_input_byte += left;
  src->base.bytes_in_buffer -= left;
}

void TermSource(j_decompress_ptr) {}

void LimitScans(j_common_ptr common) {
  auto* info = reinterpret_cast<j_decompress_ptr>(common);
  if (info->input_scan_number > runtime::jpeg::kMaxScans) JumpOnError(common);
}

}  // namespace

namespace {

bool JpegCreate(JpegSession* s, ByteSource* source) {
  s->info.err = jpeg_std_error(&s->error.base);
  s->error.base.error_exit = JumpOnError;
  s->error.base.output_message = IgnoreMessage;
  if (setjmp(s->error.jump)) return false;
  jpeg_create_decompress(&s->info);
  s->created = true;
  // Bounds libjpeg's own whole-image buffers (progressive coefficients).
  s->info.mem->max_memory_to_use = 1L << 30;
  s->source.source = source;
  s->source.base.init_source = InitSource;
  s->source.base.fill_input_buffer = FillInputBuffer;
  s->source.base.skip_input_data = SkipInputData;
  s->source.base.resync_to_restart = jpeg_resync_to_restart;
  s->source.base.term_source = TermSource;
  s->info.src = &s->source.base;
  s->progress.progress_monitor = LimitScans;
  s->info.progress = &s->progress;
  return true;
}

}  // namespace

JpegSession* JpegOpen(ByteSource* source) {
  auto* s = static_cast<JpegSession*>(std::calloc(1, sizeof(JpegSession)));
  if (!s) return nullptr;
  if (!JpegCreate(s, source)) {
    JpegClose(s);
    return nullptr;
  }
  return s;
}

void JpegClose(JpegSession* session) {
  if (!session) return;
  if (session->created) jpeg_destroy_decompress(&session->info);
  std::free(session);
}

bool JpegReadHeader(JpegSession* s, JpegHeaderInfo* out) {
  if (setjmp(s->error.jump)) return false;
  if (jpeg_read_header(&s->info, TRUE) != JPEG_HEADER_OK) return false;
  out->width = s->info.image_width;
  out->height = s->info.image_height;
  out->components = s->info.num_components;
  switch (s->info.jpeg_color_space) {
    case JCS_GRAYSCALE: out->colour = JpegColour::Grey; break;
    case JCS_YCbCr:
    case JCS_RGB: out->colour = JpegColour::Rgb; break;
    case JCS_CMYK:
    case JCS_YCCK:
      // Files with the Adobe marker store CMYK inverted (0 = full ink).
      out->colour = s->info.saw_Adobe_marker ? JpegColour::AdobeInvertedCmyk : JpegColour::Cmyk;
      break;
    default: out->colour = JpegColour::Other; break;
  }
  return true;
}

bool JpegStart(JpegSession* s, JpegColour colour, int* outputComponents) {
  if (setjmp(s->error.jump)) return false;
  switch (colour) {
    case JpegColour::Grey: s->info.out_color_space = JCS_GRAYSCALE; break;
    case JpegColour::Rgb: s->info.out_color_space = JCS_EXT_BGR; break;
    case JpegColour::Cmyk:
    case JpegColour::AdobeInvertedCmyk: s->info.out_color_space = JCS_CMYK; break;
    case JpegColour::Other: break;
  }
  if (!jpeg_start_decompress(&s->info)) return false;
  *outputComponents = s->info.output_components;
  return true;
}

bool JpegReadLine(JpegSession* s, uint8_t* line) {
  if (setjmp(s->error.jump)) return false;
  JSAMPROW row = line;
  return jpeg_read_scanlines(&s->info, &row, 1) == 1;
}

bool JpegFinish(JpegSession* s) {
  if (setjmp(s->error.jump)) return false;
  return jpeg_finish_decompress(&s->info) == TRUE;
}

}  // namespace runtime::picture::formats
