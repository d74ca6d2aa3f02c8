#include "runtime/units/draw_panel/draw_panel_commands.h"

#include <optional>

#include "platform/gdi/gdi_types.h"
#include "runtime/core/notify.h"
#include "runtime/core/program.h"
#include "runtime/core/runtime_calls.h"
#include "runtime/picture/table/picture_table.h"
#include "runtime/units/draw_panel/draw_panel.h"

namespace runtime::units::draw_panel {

using picture::Picture;
using picture::table::PictureFromHandle;
namespace {

using namespace platform;

// The panel the reference names; a reference to nothing live is the runtime
// error of notify::kFindUnitObjectOrFail.
DrawPanel* PanelOf(int32_t count, const runtime::ArgRecord* args) {
  if (count < 1 || !args) return nullptr;
  return Runtime().FindUnit<DrawPanel>(args[0].RefWindow(), args[0].RefUnit());
}

// An omitted argument is an all-zero record, or absent at the end.
std::optional<int32_t> Given(int32_t count, const runtime::ArgRecord* args, int32_t index) {
  if (index >= count || args[index].tag == runtime::TypeNone) return std::nullopt;
  return args[index].AsInt();
}

int64_t OperationOf(std::optional<int32_t> mode) {
  switch (mode.value_or(1)) {
    case 1: return SRCCOPY;
    case 2: return NOTSRCCOPY;
    case 3: return SRCINVERT;
    case 4: return SRCPAINT;
    case 5: return SRCAND;
    default: return *mode;  // a raster operation, or a negated transparent colour
  }
}

}  // namespace

void DrawPicture(runtime::ArgRecord*, int32_t count, runtime::ArgRecord* args) {
  DrawPanel* panel = PanelOf(count, args);
  if (!panel || count < 4) return;
  const uint32_t handle = args[1].Low();
  Picture* picture = PictureFromHandle(handle);
  if (!Runtime().IsPictureRegistered(picture)) return;
  panel->DrawPicture(*picture, args[2].AsInt(), args[3].AsInt(), Given(count, args, 4), Given(count, args, 5),
                     OperationOf(Given(count, args, 6)));
}

void GetPicture(runtime::ArgRecord* result, int32_t count, runtime::ArgRecord* args) {
  void* bytes = nullptr;
  if (DrawPanel* panel = PanelOf(count, args))
    bytes = panel->TakePicture(Given(count, args, 1).value_or(0), Given(count, args, 2).value_or(0));
  if (result) *result = runtime::ArgRecord::Bytes(bytes);
}

}  // namespace runtime::units::draw_panel
