// The core library (library 1 of a program): its unit types (the window, the
// picture box and the draw panel in their slots of 51) and the commands this
// program keeps. It stands above the folders that make it: core, forms, the
// picture table and the unit types.
#pragma once

#include "runtime/core/program.h"

namespace runtime::core_library {

const LibraryEntry& CoreLibrary();

// Installs into the runtime what answers the core's notifications from
// above it: the picture table and the windows-and-units layer. Call before
// the runtime starts.
void InstallCoreLibrary();

}  // namespace runtime::core_library
