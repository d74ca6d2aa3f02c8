// Form data is untrusted like a picture file: whatever the reader accepts
// must then be safe to walk, read and rewrite.
#include <cstddef>
#include <cstdint>
#include <span>

#include "runtime/forms/window_definition.h"
#include "runtime/units/window/window_block.h"

namespace {

void Handler(runtime::HandlerCall&) {}
const runtime::LogicRoutine kRoutines[] = {{0, &Handler}, {0x1C9, &Handler}, {0x52F, &Handler}, {0x895, &Handler}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto read = runtime::forms::ReadFormData(std::span<const uint8_t>(data, size), kRoutines);
  if (!read) return 0;
  for (auto& definition : *read) {
    auto& units = definition.units;
    for (int32_t i = 0; i < units.Count(); ++i) {
      (void)units.IndexOf(units.IdAt(i));
      (void)units.Name(i);
      (void)units.Children(i);
      (void)units.Bindings(i);
      (void)units.Pointer(i);
      (void)units.MenuHandler(i);
      (void)runtime::units::window::ReadWindowBlock(units.TypeBlock(i));
      units.SetObjectSlot(i, 7);
      units.ReplaceTag(i, "tag");
      units.ReplacePointer(i, std::span<const uint8_t>(data, size < 8 ? size : 8));
      (void)units.Tag(i);
    }
  }
  return 0;
}
