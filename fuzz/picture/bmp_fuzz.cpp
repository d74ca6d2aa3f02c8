#include "fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return picture_fuzz::Run(runtime::picture::formats::DecodeBmp, data, size);
}
