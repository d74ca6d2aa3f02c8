#include "tools/form_data.h"

// Defined in form_data.S around the generated file.
extern "C" const uint8_t tessellon_form_data_begin[];
extern "C" const uint8_t tessellon_form_data_end[];

namespace formdata {

std::span<const uint8_t> Bytes() { return {tessellon_form_data_begin, tessellon_form_data_end}; }

}  // namespace formdata
