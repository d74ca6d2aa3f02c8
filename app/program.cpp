#include "app/program.h"

#include <iterator>

#include "runtime/core/file_commands.h"
#include "runtime/core/services.h"
#include "runtime/imageconv/convert_image.h"
#include "runtime/picture/load_picture_command.h"

namespace app {
namespace {

// The unit types of the core library: 51 slots, filled as the units arrive.
constexpr int32_t kCoreUnitTypeCount = 51;
const runtime::UnitTypeDescriptor kCoreUnitTypes[kCoreUnitTypeCount] = {};

// The commands this program keeps, in the order its logic names them. The
// draw panel's two commands join when that unit exists.
const runtime::CommandRoutine kCoreCommands[] = {
    &runtime::GetWindowHandle,     &runtime::ReadFileData,  &runtime::picture::LoadPicture,
    &runtime::GetProgramDirectory, &runtime::WriteFileData, &runtime::RemoveFile,
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
  entry.unitTypes = kCoreUnitTypes;
  entry.commandCount = static_cast<int32_t>(std::size(kCoreCommands));
  entry.commands = kCoreCommands;
  return entry;
}

// The drag-and-drop library keeps its place (library 2, one unit type) so that
// type tags keep their numbers; its drop object joins with the drop target.
const runtime::UnitTypeDescriptor kDragDropUnitTypes[1] = {};

runtime::LibraryEntry MakeDragDropLibrary() {
  runtime::LibraryEntry entry;
  entry.identifier = "{54657373-656c-6c6f-6e44-726f70000000}";
  entry.version[0] = 2;
  entry.furtherVersions[0] = 3;
  entry.furtherVersions[2] = 3;
  entry.furtherVersions[3] = 8;
  entry.displayName = "drag and drop";
  entry.unitTypeCount = 1;
  entry.unitTypes = kDragDropUnitTypes;
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
  static const runtime::LibraryEntry dragDrop = MakeDragDropLibrary();
  static const runtime::LibraryEntry imageConv = MakeImageConvLibrary();
  static const runtime::LibraryEntry* const libraries[] = {&CoreLibrary(), &dragDrop, &imageConv};
  static const runtime::ProgramHeader header = [] {
    runtime::ProgramHeader h;
    h.programKind = 3;
    h.reserved = 0;
    h.lastIdSerial = 0x0001001D;
    h.codeBase = reinterpret_cast<const void*>(&StartRoutine);
    h.constantBlock = kConstantBlock;
    h.constantBlockSize = kConstantBlockSize;
    h.libraryCount = static_cast<int32_t>(std::size(libraries));
    h.libraries = libraries;
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
  // The start window is loaded here once the window table exists.
  services.RunMessageLoop();
  return 0;
}

}  // namespace app
