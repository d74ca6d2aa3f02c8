#include "app/files_dropped.h"

#include <cstring>
#include <vector>

#include "app/constants.h"
#include "runtime/core/services/file_commands.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/services.h"
#include "runtime/imageconv/conversion/convert_image.h"
#include "runtime/picture/table/load_picture_command.h"
#include "runtime/picture/table/picture_table.h"
#include "runtime/units/draw_panel/draw_panel_commands.h"

namespace app {

using runtime::picture::table::PictureFromHandle;
namespace {

using runtime::ArgRecord;

constexpr runtime::UnitId kDrawPanel = 0x16010005;
// The picture box's picture: the encoded bytes it shows.
constexpr int32_t kPictureProperty = 10;
// Property access for the whole property, not one item of it.
constexpr int32_t kWholeProperty = -1;
constexpr runtime::TypeTag kDrawPanelType = 0x00010008;
constexpr int32_t kSquare = 815;
constexpr int32_t kImageConvLibrary = 2;

struct Box {
  runtime::UnitId unit;
  int32_t left;
  int32_t top;
};
constexpr Box kBoxes[] = {{kPictureBox1, 150, 355}, {kPictureBox2, 1217, 355}, {kPictureBox3, 150, 1284}};

const char* Constant(uint32_t offset) { return reinterpret_cast<const char*>(kConstantBlock + offset); }
const char* EmptyText() { return Constant(kEmptyTextOffset); }
const void* EmptyBytes() { return kConstantBlock + kEmptyByteArrayOffset; }

const char* OrEmpty(const char* text) { return text ? text : EmptyText(); }
const void* OrEmpty(const void* bytes) { return bytes ? bytes : EmptyBytes(); }

ArgRecord Core(runtime::CommandRoutine routine, std::initializer_list<ArgRecord> args) {
  std::vector<ArgRecord> list(args);
  return runtime::services::Services().CallCoreCommand(routine, static_cast<int32_t>(list.size()), list.data());
}

char* ProgramFile(uint32_t suffixOffset) {
  const runtime::services::ServiceTable& services = runtime::services::Services();
  char* directory = Core(&runtime::services::GetProgramDirectory, {}).AsPointer<char>();
  char* path = JoinTexts({directory, Constant(suffixOffset)});
  services.Free(directory);
  return path;
}

// Shows the dropped file in box k, draws it into square k of the canvas and
// writes the whole canvas as "细节.jpg" beside the program.
void FilesDropped(const Box& box, runtime::HandlerCall& call) {
  const runtime::services::ServiceTable& services = runtime::services::Services();
  const auto* variable = runtime::AddressIn<const char* const>(call.arguments[0]);
  const char* dropped = variable ? *variable : nullptr;

  void* bytes = Core(&runtime::services::ReadFileData, {ArgRecord::Text(OrEmpty(dropped))}).AsPointer<void>();
  services.SetProperty(kWindowId, box.unit, kPictureProperty, kWholeProperty, ArgRecord::Bytes(bytes).payload);
  services.Free(bytes);
  bytes = runtime::AddressIn<void>(services.GetProperty(kWindowId, box.unit, kPictureProperty, kWholeProperty));
  const int32_t picture = Core(&runtime::picture::table::LoadPicture, {ArgRecord::Bytes(OrEmpty(bytes))}).AsInt();
  services.Free(bytes);

  const ArgRecord panel = ArgRecord::UnitRef(kDrawPanelType, kWindowId, kDrawPanel);
  Core(&runtime::units::draw_panel::DrawPicture,
       {panel, ArgRecord::Int(picture), ArgRecord::Int(box.left), ArgRecord::Int(box.top), ArgRecord::Int(kSquare),
        ArgRecord::Int(kSquare), ArgRecord{}});
  // The picture is drawn; keeping it in the table until the end would make
  // every drop cost a decoded photograph's memory.
  if (picture)
    runtime::NotifyRuntime(
        runtime::notify::kReleasePicture,
        runtime::AddressWord(runtime::picture::table::PictureFromHandle(static_cast<uint32_t>(picture))), 0);

  char* path = ProgramFile(kTemporaryFileSuffixOffset);
  void* canvas = Core(&runtime::units::draw_panel::GetPicture, {panel, ArgRecord{}, ArgRecord{}}).AsPointer<void>();
  Core(&runtime::services::WriteFileData, {ArgRecord::Text(OrEmpty(path)), ArgRecord::Bytes(OrEmpty(canvas))});
  services.Free(path);
  services.Free(canvas);

  char* source = ProgramFile(kTemporaryFileSuffixOffset);
  char* target = ProgramFile(kOutputFileSuffixOffset);
  ArgRecord convert[] = {ArgRecord::Text(source), ArgRecord::Text(target), ArgRecord::Bool(false),
                         ArgRecord::Int(75),      ArgRecord::Bool(true),   ArgRecord::Int(0)};
  services.CallLibraryCommand(&runtime::imageconv::conversion::ConvertImage, kImageConvLibrary, 6, convert);
  services.Free(source);
  services.Free(target);

  path = ProgramFile(kTemporaryFileSuffixOffset);
  Core(&runtime::services::RemoveFile, {ArgRecord::Text(path)});
  services.Free(path);
}

}  // namespace

char* JoinTexts(std::initializer_list<const char*> texts) {
  size_t total = 1;
  for (const char* text : texts) total += text ? std::strlen(text) : 0;
  auto* joined = static_cast<char*>(runtime::services::Services().Allocate(total));
  size_t at = 0;
  for (const char* text : texts) {
    const size_t length = text ? std::strlen(text) : 0;
    if (length) std::memcpy(joined + at, text, length);
    at += length;
  }
  joined[at] = 0;
  return joined;
}

void FilesDroppedOnBox1(runtime::HandlerCall& call) { FilesDropped(kBoxes[0], call); }
void FilesDroppedOnBox2(runtime::HandlerCall& call) { FilesDropped(kBoxes[1], call); }
void FilesDroppedOnBox3(runtime::HandlerCall& call) { FilesDropped(kBoxes[2], call); }

}  // namespace app
