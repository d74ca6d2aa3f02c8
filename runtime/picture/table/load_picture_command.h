// The LoadPicture command: a byte array or a file path -> a registered
// picture's handle, or 0.
#pragma once

#include <cstdint>

#include "runtime/core/value.h"

namespace runtime::picture::table {

void LoadPicture(runtime::ArgRecord* result, int32_t count, runtime::ArgRecord* args);

}  // namespace runtime::picture::table
