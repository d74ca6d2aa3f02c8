// The window type's descriptor, property table and operations.
#include <cstring>

#include "platform/gdi/gdi.h"
#include "runtime/core/type_block.h"
#include "platform/global_memory.h"
#include "platform/window.h"
#include "runtime/forms/unit_types.h"
#include "runtime/forms/window_unit.h"

namespace runtime::forms {
namespace {

using namespace platform;
namespace dt = data_type;

// Common properties, then the block's fields in their stored order.
constexpr PropertyDescriptor kProperties[] = {
    {nullptr, nullptr, dt::kPosition, 0xE000},     {nullptr, nullptr, dt::kPosition, 0xE000},
    {nullptr, nullptr, dt::kPosition, 0xE000},     {nullptr, nullptr, dt::kPosition, 0xE000},
    {nullptr, nullptr, dt::kText, 0xE000},         {nullptr, nullptr, dt::kBool, 0xE000},
    {nullptr, nullptr, dt::kBool, 0xE000},         {nullptr, nullptr, dt::kMousePointer, 0xE000},
    {nullptr, nullptr, dt::kChoice, 0x8000},  // 0 border
    {nullptr, nullptr, dt::kChoice, 0x8000},  // 1 picture layout
    {nullptr, nullptr, dt::kColour, 0x8000},  // 2 background colour
    {nullptr, nullptr, dt::kBool, 0x8000},    // 3 maximise button
    {nullptr, nullptr, dt::kBool, 0x8000},    // 4 minimise button
    {nullptr, nullptr, dt::kBool, 0x8000},    // 5 control box
    {nullptr, nullptr, dt::kChoice, 0x8000},  // 6 start position
    {nullptr, nullptr, dt::kBool, 0x8000},    // 7 movable
    {nullptr, nullptr, dt::kChoice, 0x8000},  // 8 sound play mode
    {nullptr, nullptr, dt::kBool, 0x8000},    // 9 Enter moves focus
    {nullptr, nullptr, dt::kBool, 0x8000},    // 10 Esc closes
    {nullptr, nullptr, dt::kBool, 0x8000},    // 11 F1 opens help
    {nullptr, nullptr, dt::kInteger, 0x8000}, // 12 help context
    {nullptr, nullptr, dt::kBool, 0x8000},    // 13 show in taskbar
    {nullptr, nullptr, dt::kBool, 0x8000},    // 14 drag by client area
    {nullptr, nullptr, dt::kChoice, 0x8000},  // 15 shape
    {nullptr, nullptr, dt::kBool, 0x8000},    // 16 always on top
    {nullptr, nullptr, dt::kBool, 0x8000},    // 17 keep title bar active
    {nullptr, nullptr, dt::kText, 0x8000},    // 18 class name
    {nullptr, nullptr, dt::kPicture, 0x8000}, // 19 background picture
    {nullptr, nullptr, dt::kIcon, 0x8000},    // 20 icon
    {nullptr, nullptr, dt::kSound, 0x8000},   // 21 background sound
    {nullptr, nullptr, dt::kText, 0x8000},    // 22 title
    {nullptr, nullptr, dt::kText, 0x8000},    // 23 help file
};
static_assert(std::size(kProperties) == 32);

int32_t* IntegerField(WindowBlock& b, int32_t number) {
  int32_t* fields[] = {&b.border,        &b.pictureLayout,   nullptr,         &b.maximiseButton, &b.minimiseButton,
                       &b.controlBox,    &b.startPosition,   &b.movable,      &b.soundMode,      &b.enterMovesFocus,
                       &b.escCloses,     &b.f1Help,          &b.helpContext,  &b.showInTaskbar,  &b.dragByClient,
                       &b.shape,         &b.alwaysOnTop,     &b.keepTitleActive};
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
    value->first = reinterpret_cast<intptr_t>(text->c_str());
  } else if (std::vector<uint8_t>* bytes = BytesField(b, number)) {
    value->first = reinterpret_cast<intptr_t>(bytes->data());
    value->second = static_cast<intptr_t>(bytes->size());
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
    const char* given = reinterpret_cast<const char*>(value->first);
    *text = given ? given : "";
    if (number == 22) SetWindowTextA(hwnd, text->c_str());
  } else if (std::vector<uint8_t>* bytes = BytesField(b, number)) {
    const auto* data = reinterpret_cast<const uint8_t*>(value->first);
    const intptr_t length = value->second;
    if (data && length > 0) bytes->assign(data, data + length);
    else bytes->clear();
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
      "window", 0x800000D0, static_cast<int32_t>(std::size(kProperties)), kProperties,
      &UnitOperations<&WindowUnit::Create, &SetWindowProperty, &SaveWindowProperties, &GetWindowProperty>};
  return type;
}

}  // namespace runtime::forms
