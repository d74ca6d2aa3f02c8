#include "app/program.h"

#include <array>
#include <iterator>
#include <span>
#include <utility>

#include "app/files_dropped.h"
#include "runtime/forms/window_unit.h"
#include "tools/form_data.h"

#include "runtime/core/file_commands.h"
#include "runtime/core/services.h"
#include "runtime/dragdrop/drop_library.h"
#include "runtime/imageconv/convert_image.h"
#include "runtime/picture/draw_panel.h"
#include "runtime/picture/draw_panel_commands.h"
#include "runtime/picture/load_picture_command.h"
#include "runtime/picture/picture_box.h"

namespace app {
namespace {

// The unit types of the core library: 51 slots, of which this program fills
// the window (1), the picture box (6) and the draw panel (8).
constexpr int32_t kCoreUnitTypeCount = 51;
const runtime::UnitTypeDescriptor* CoreUnitTypes() {
  static const auto types = [] {
    std::array<runtime::UnitTypeDescriptor, kCoreUnitTypeCount> t{};
    t[0] = runtime::forms::WindowUnitType();
    t[5] = runtime::picture::PictureBoxType();
    t[7] = runtime::picture::DrawPanelType();
    return t;
  }();
  return types.data();
}

// The commands this program keeps, in the order its logic names them.
const runtime::CommandRoutine kCoreCommands[] = {
    &runtime::GetWindowHandle,        &runtime::ReadFileData,         &runtime::picture::LoadPicture,
    &runtime::picture::DrawPicture,   &runtime::GetProgramDirectory,  &runtime::picture::GetPicture,
    &runtime::WriteFileData,          &runtime::RemoveFile,
};

runtime::LibraryEntry MakeCoreLibrary() {
  runtime::LibraryEntry entry;
  entry.identifier = "54657373656c6c6f6e436f72654c6962";
  entry.version[0] = 5;
  entry.version[1] = 7;
  entry.version[2] = 64;
  entry.furtherVersions[0] = 3;
  entry.furtherVersions[1] = 7;
  entry.furtherVersions[2] = 3;
  entry.furtherVersions[3] = 7;
  entry.displayName = "core";
  entry.flags = 0xC0000001;
  entry.unitTypeCount = kCoreUnitTypeCount;
  entry.unitTypes = CoreUnitTypes();
  entry.commandCount = static_cast<int32_t>(std::size(kCoreCommands));
  entry.commands = kCoreCommands;
  return entry;
}


runtime::LibraryEntry MakeImageConvLibrary() {
  runtime::LibraryEntry entry;
  entry.identifier = "54657373656c6c6f6e496d616765436f";
  entry.version[0] = 2;
  entry.version[2] = 4;
  entry.furtherVersions[0] = 3;
  entry.furtherVersions[2] = 3;
  entry.displayName = "image conversion";
  entry.commandCount = static_cast<int32_t>(std::size(imageconv::kImageConvCommands));
  entry.commands = imageconv::kImageConvCommands;
  entry.notify = &imageconv::ImageConvNotify;
  return entry;
}

void ProgramInitialisation() {}
void ProgramCleanup() {}

}  // namespace

// Every picture box has its window now: drop object k takes the drops made
// on box k.
void WindowCreated(runtime::HandlerCall&) {
  const runtime::ServiceTable& services = runtime::Services();
  const runtime::CommandRoutine registerWindow = runtime::dragdrop::DragDropLibrary().commands[0];
  const std::pair<runtime::UnitId, runtime::UnitId> pairs[] = {
      {kPictureBox1, kDropObject1}, {kPictureBox2, kDropObject2}, {kPictureBox3, kDropObject3}};
  for (const auto& [box, dropObject] : pairs) {
    runtime::ArgRecord reference = runtime::ArgRecord::UnitRef(kPictureBoxType, kWindowId, box);
    const runtime::ArgRecord handle = services.CallCoreCommand(&runtime::GetWindowHandle, 1, &reference);
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

// "/emp.jpg" and "/细节.jpg" with the two characters in the ANSI code page.
const uint8_t kConstantBlock[kConstantBlockSize] = {
    0x00,                                                  // the empty text
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,        // the empty byte array
    '/',  'e',  'm',  'p',  '.',  'j',  'p',  'g',  0x00,  // temporary file
    '/',  0xCF, 0xB8, 0xBD, 0xDA, '.',  'j',  'p',  'g',  0x00,  // output file
};

const runtime::LibraryEntry& CoreLibrary() {
  static const runtime::LibraryEntry entry = MakeCoreLibrary();
  return entry;
}

const runtime::ProgramHeader& ProgramHeader() {
  static const runtime::LibraryEntry imageConv = MakeImageConvLibrary();
  static const runtime::LibraryEntry* const libraries[] = {&CoreLibrary(), &runtime::dragdrop::DragDropLibrary(),
                                                                &imageConv};
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
  const runtime::ServiceTable& services = runtime::Services();
  services.NumberedService(runtime::numbered::kInitialiseRuntime, 0, 0, 0, 0);
  ProgramInitialisation();
  services.NumberedService(runtime::numbered::kRegisterCleanupRoutine,
                           reinterpret_cast<intptr_t>(&ProgramCleanup), 0, 0, 0);
  services.LoadWindow(kWindowId);
  services.RunMessageLoop();
  return 0;
}

}  // namespace app
