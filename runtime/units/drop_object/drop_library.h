// The drag-and-drop library (library 2 of the program): the drop object
// unit type, its register-window method and the library's notification
// entry.
#pragma once

#include "runtime/core/program.h"

namespace runtime::units::drop_object {

const LibraryEntry& DragDropLibrary();

}  // namespace runtime::units::drop_object
