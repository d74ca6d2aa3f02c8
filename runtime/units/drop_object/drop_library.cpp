#include "runtime/units/drop_object/drop_library.h"

#include <iterator>

#include "runtime/units/drop_object/core_link.h"
#include "runtime/units/drop_object/drop_object.h"

namespace runtime::units::drop_object {
namespace {

const CommandRoutine kCommands[] = {&RegisterWindowMethod};

}  // namespace

const LibraryEntry& DragDropLibrary() {
  static const LibraryEntry entry{
      .identifier = "{54657373-656c-6c6f-6e44-726f70000000}",
      .version = {2, 0, 0},
      .furtherVersions = {3, 0, 3, 8},
      .displayName = "drag and drop",
      .unitTypeCount = 1,
      .unitTypes = &DropObjectUnitType(),
      .commandCount = static_cast<int32_t>(std::size(kCommands)),
      .commands = kCommands,
      .notify = &DragDropNotify,
  };
  return entry;
}

}  // namespace runtime::units::drop_object
