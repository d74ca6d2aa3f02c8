// Core commands that move bytes between files and the program's logic, name
// the program's directory and hand out a unit's window handle.
#pragma once

#include "runtime/core/value.h"

namespace runtime::services {

void ReadFileData(ArgRecord* result, int32_t count, ArgRecord* args);
void WriteFileData(ArgRecord* result, int32_t count, ArgRecord* args);
void RemoveFile(ArgRecord* result, int32_t count, ArgRecord* args);
void GetProgramDirectory(ArgRecord* result, int32_t count, ArgRecord* args);
void GetWindowHandle(ArgRecord* result, int32_t count, ArgRecord* args);

}  // namespace runtime::services
