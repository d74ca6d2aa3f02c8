#include "jpeg_roundtrip.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace bench {

namespace {

struct ErrorJump {
  jpeg_error_mgr manager;
  jmp_buf jump;
};

void Fail(j_common_ptr info) { longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1); }

// Trivial locals only: libjpeg leaves these frames by long jump.
bool Compress(const uint8_t* rgb, int width, int height, unsigned char** out, unsigned long* size) {
  jpeg_compress_struct info;
  ErrorJump error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = Fail;
  if (setjmp(error.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, out, size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(rgb) + static_cast<size_t>(info.next_scanline) * width * 3;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

bool Decompress(const uint8_t* data, size_t size, uint8_t* (*allocate)(void*, int, int), void* context) {
  jpeg_decompress_struct info;
  ErrorJump error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = Fail;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  uint8_t* out = allocate(context, static_cast<int>(info.output_width), static_cast<int>(info.output_height));
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out + static_cast<size_t>(info.output_scanline) * info.output_width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

struct Sink {
  std::vector<uint8_t>* rgb;
  int* width;
  int* height;
};

uint8_t* Allocate(void* context, int width, int height) {
  auto* sink = static_cast<Sink*>(context);
  *sink->width = width;
  *sink->height = height;
  sink->rgb->resize(static_cast<size_t>(width) * height * 3);
  return sink->rgb->data();
}

}  // namespace

std::vector<uint8_t> EncodeJpeg(const std::vector<uint8_t>& rgb, int width, int height) {
  unsigned char* out = nullptr;
  unsigned long size = 0;
  std::vector<uint8_t> bytes;
  if (Compress(rgb.data(), width, height, &out, &size)) bytes.assign(out, out + size);
  std::free(out);
  return bytes;
}

bool DecodeJpeg(const std::vector<uint8_t>& jpeg, std::vector<uint8_t>& rgb, int& width, int& height) {
  Sink sink{&rgb, &width, &height};
  return Decompress(jpeg.data(), jpeg.size(), Allocate, &sink);
}

}  // namespace bench
