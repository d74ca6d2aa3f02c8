#include "app/program.h"

#include <iterator>
#include <span>
#include <utility>

#include "app/files_dropped.h"
#include "runtime/core/services/file_commands.h"
#include "runtime/core/services/services.h"
#include "runtime/core_library/core_library.h"
#include "runtime/imageconv/conversion/imageconv_library.h"
#include "runtime/units/drop_object/drop_library.h"
#include "tools/form_data.h"

namespace app {
namespace {

void ProgramInitialisation() {}
void ProgramCleanup() {}

}  // namespace

// Every picture box has its window now: drop object k takes the drops made
// on box k.
void WindowCreated(runtime::HandlerCall&) {
  const runtime::services::ServiceTable& services = runtime::services::Services();
  const runtime::CommandRoutine registerWindow = runtime::units::drop_object::DragDropLibrary().commands[0];
  const std::pair<runtime::UnitId, runtime::UnitId> pairs[] = {
      {kPictureBox1, kDropObject1}, {kPictureBox2, kDropObject2}, {kPictureBox3, kDropObject3}};
  for (const auto& [box, dropObject] : pairs) {
    runtime::ArgRecord reference = runtime::ArgRecord::UnitRef(kPictureBoxType, kWindowId, box);
    const runtime::ArgRecord handle = services.CallCoreCommand(&runtime::services::GetWindowHandle, 1, &reference);
    runtime::ArgRecord arguments[2] = {runtime::ArgRecord::UnitRef(kDropObjectType, kWindowId, dropObject),
                                       runtime::ArgRecord::Int(static_cast<int32_t>(handle.Low()))};
    services.CallLibraryCommand(registerWindow, 1, 2, arguments);
  }
}

namespace {

// The routines the form data binds, by their code offsets.
const runtime::LogicRoutine kRoutines[] = {
    {0, &WindowCreated}, {0x1C9, &FilesDroppedOnBox1}, {0x52F, &FilesDroppedOnBox2}, {0x895, &FilesDroppedOnBox3}};

}  // namespace

const runtime::ProgramHeader& ProgramHeader() {
  static const runtime::LibraryEntry* const libraries[] = {&runtime::core_library::CoreLibrary(),
                                                           &runtime::units::drop_object::DragDropLibrary(),
                                                           &runtime::imageconv::conversion::ImageConversionLibrary()};
  static const runtime::ProgramHeader header = [] {
    runtime::ProgramHeader h;
    h.programKind = 3;
    h.reserved = 0;
    h.lastIdSerial = 0x0001001D;
    h.constantBlock = kConstantBlock;
    h.constantBlockSize = kConstantBlockSize;
    h.libraryCount = static_cast<int32_t>(std::size(libraries));
    h.libraries = libraries;
    const std::span<const uint8_t> form = formdata::Bytes();
    h.formData = form.data();
    h.formDataSize = static_cast<uint32_t>(form.size());
    h.routines = kRoutines;
    h.routineCount = static_cast<int32_t>(std::size(kRoutines));
    return h;
  }();
  return header;
}

int32_t StartRoutine() {
  const runtime::services::ServiceTable& services = runtime::services::Services();
  services.NumberedService(runtime::services::numbered::kInitialiseRuntime, 0, 0, 0, 0);
  ProgramInitialisation();
  services.NumberedService(runtime::services::numbered::kRegisterCleanupRoutine, runtime::AddressWord(&ProgramCleanup), 0, 0, 0);
  services.LoadWindow(kWindowId);
  services.RunMessageLoop();
  return 0;
}

}  // namespace app
