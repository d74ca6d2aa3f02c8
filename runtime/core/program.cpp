#include "runtime/core/program.h"

namespace runtime {

const UnitTypeDescriptor* LookupUnitType(const ProgramHeader& header, TypeTag tag) {
  int32_t library = LibraryNumberOf(tag);
  int32_t type = TypeNumberOf(tag);
  if (library < 1 || library > header.libraryCount || !header.libraries) return nullptr;
  const LibraryEntry* entry = header.libraries[library - 1];
  if (!entry || type < 1 || type > entry->unitTypeCount || !entry->unitTypes) return nullptr;
  return &entry->unitTypes[type - 1];
}

}  // namespace runtime
