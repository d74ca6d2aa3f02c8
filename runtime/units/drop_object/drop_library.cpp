#include "runtime/units/drop_object/drop_library.h"

#include "runtime/units/drop_object/core_link.h"
#include "runtime/units/drop_object/drop_object.h"

namespace runtime::units::drop_object {
namespace {

const CommandRoutine kCommands[] = {&RegisterWindowMethod};

LibraryEntry MakeLibrary() {
  LibraryEntry entry;
  entry.identifier = "{54657373-656c-6c6f-6e44-726f70000000}";
  entry.version[0] = 2;
  entry.furtherVersions[0] = 3;
  entry.furtherVersions[2] = 3;
  entry.furtherVersions[3] = 8;
  entry.displayName = "drag and drop";
  entry.unitTypeCount = 1;
  entry.unitTypes = &DropObjectUnitType();
  entry.commandCount = 1;
  entry.commands = kCommands;
  entry.notify = &DragDropNotify;
  return entry;
}

}  // namespace

const LibraryEntry& DragDropLibrary() {
  static const LibraryEntry entry = MakeLibrary();
  return entry;
}

}  // namespace runtime::units::drop_object
