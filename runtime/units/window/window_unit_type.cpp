// The window type's descriptor, property table and operations.
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/memory/global_memory.h"
#include "platform/windows/window.h"
#include "runtime/core/runtime_calls.h"
#include "runtime/core/type_block.h"
#include "runtime/forms/unit_types.h"
#include "runtime/units/window/window_unit.h"

namespace runtime::units::window {
namespace {

using namespace platform;
namespace dt = data_type;

// Common properties, then the block's fields in their stored order.
constexpr auto kProperties = WithCommonProperties({
    OwnProperty(dt::kChoice),   // 0 border
    OwnProperty(dt::kChoice),   // 1 picture layout
    OwnProperty(dt::kColour),   // 2 background colour
    OwnProperty(dt::kBool),     // 3 maximise button
    OwnProperty(dt::kBool),     // 4 minimise button
    OwnProperty(dt::kBool),     // 5 control box
    OwnProperty(dt::kChoice),   // 6 start position
    OwnProperty(dt::kBool),     // 7 movable
    OwnProperty(dt::kChoice),   // 8 sound play mode
    OwnProperty(dt::kBool),     // 9 Enter moves focus
    OwnProperty(dt::kBool),     // 10 Esc closes
    OwnProperty(dt::kBool),     // 11 F1 opens help
    OwnProperty(dt::kInteger),  // 12 help context
    OwnProperty(dt::kBool),     // 13 show in taskbar
    OwnProperty(dt::kBool),     // 14 drag by client area
    OwnProperty(dt::kChoice),   // 15 shape
    OwnProperty(dt::kBool),     // 16 always on top
    OwnProperty(dt::kBool),     // 17 keep title bar active
    OwnProperty(dt::kText),     // 18 class name
    OwnProperty(dt::kPicture),  // 19 background picture
    OwnProperty(dt::kIcon),     // 20 icon
    OwnProperty(dt::kSound),    // 21 background sound
    OwnProperty(dt::kText),     // 22 title
    OwnProperty(dt::kText),     // 23 help file
});
static_assert(kProperties.size() == 32);

int32_t* IntegerField(WindowBlock& b, int32_t number) {
  int32_t* fields[] = {&b.border,     &b.pictureLayout, nullptr,           &b.maximiseButton, &b.minimiseButton,
                       &b.controlBox, &b.startPosition, &b.movable,        &b.soundMode,      &b.enterMovesFocus,
                       &b.escCloses,  &b.f1Help,        &b.helpContext,    &b.showInTaskbar,  &b.dragByClient,
                       &b.shape,      &b.alwaysOnTop,   &b.keepTitleActive};
  return number >= 0 && number < static_cast<int32_t>(std::size(fields)) ? fields[number] : nullptr;
}

std::string* TextField(WindowBlock& b, int32_t number) {
  return number == 18 ? &b.className : number == 22 ? &b.title : number == 23 ? &b.helpFile : nullptr;
}

std::vector<uint8_t>* BytesField(WindowBlock& b, int32_t number) {
  return number == 19 ? &b.picture : number == 20 ? &b.icon : number == 21 ? &b.sound : nullptr;
}

WindowUnit* AsWindow(UnitObject* unit) { return dynamic_cast<WindowUnit*>(unit); }

int32_t GetWindowProperty(UnitObject* object, int32_t number, RawValue* value) {
  WindowUnit* unit = AsWindow(object);
  if (!unit || !value) return 0;
  WindowBlock& b = unit->MutableBlock();
  if (number == 2) {
    value->first = static_cast<intptr_t>(b.background);
  } else if (int32_t* field = IntegerField(b, number)) {
    value->first = *field;
  } else if (std::string* text = TextField(b, number)) {
    *value = TextValue(text->c_str());
  } else if (std::vector<uint8_t>* bytes = BytesField(b, number)) {
    *value = BytesValue(*bytes);
  } else {
    return 0;
  }
  return 1;
}

int32_t SetWindowProperty(UnitObject* object, int32_t number, const RawValue* value) {
  WindowUnit* unit = AsWindow(object);
  if (!unit || !value) return 0;
  WindowBlock& b = unit->MutableBlock();
  const HWND hwnd = unit->WindowHandle();
  if (number == 2) {
    b.background = static_cast<uint32_t>(value->first);
    unit->BackgroundChanged();
  } else if (int32_t* field = IntegerField(b, number)) {
    *field = static_cast<int32_t>(value->first);
    if (number == 1) unit->BackgroundChanged();
    if (number == 16)
      SetWindowPos(hwnd, *field == 1 ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else if (std::string* text = TextField(b, number)) {
    const char* given = ValueText(*value);
    *text = given ? given : "";
    if (number == 22) SetWindowTextA(hwnd, text->c_str());
  } else if (std::vector<uint8_t>* bytes = BytesField(b, number)) {
    const std::span<const uint8_t> given = ValueBytes(*value);
    bytes->assign(given.begin(), given.end());
    if (number == 19) unit->BackgroundChanged();
  }
  return 0;  // the window is never re-created
}

HGLOBAL SaveWindowProperties(UnitObject* object) {
  WindowUnit* unit = AsWindow(object);
  return unit ? GlobalAllocCopy(GMEM_MOVEABLE, WriteWindowBlock(unit->Block())) : 0;
}

}  // namespace

const UnitTypeDescriptor& WindowUnitType() {
  static const UnitTypeDescriptor type{
      "\xB4\xB0\xBF\xDA",  // the GBK name
      "window",
      0x800000D0,
      static_cast<int32_t>(kProperties.size()),
      kProperties.data(),
      &UnitOperations<&WindowUnit::Create, &SetWindowProperty, &SaveWindowProperties, &GetWindowProperty>};
  return type;
}

}  // namespace runtime::units::window
