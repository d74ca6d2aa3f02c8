#include "runtime/forms/properties.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/icons/cursor.h"
#include "platform/memory/global_memory.h"
#include "platform/windows/pointer.h"
#include "platform/windows/window.h"
#include "runtime/core/ansi.h"
#include "runtime/core/application.h"
#include "runtime/core/fatal_error.h"
#include "runtime/core/memory.h"
#include "runtime/core/notify.h"
#include "runtime/core/runtime_calls.h"
#include "runtime/forms/font_property.h"
#include "runtime/forms/loader.h"
#include "runtime/forms/pointer_codes.h"
#include "runtime/forms/recreate.h"
#include "runtime/forms/unit_types.h"
#include "runtime/forms/window_table.h"

namespace runtime::forms {
namespace {

using namespace platform;
namespace dt = data_type;

constexpr int32_t kLimit = 32627;
constexpr uint32_t kPageContainerType = 0x00010015;

struct Target {
  WindowDefinition* definition;
  int32_t index;
  UnitObject* live;  // null when the unit is not live
};

Target Find(WindowId window, UnitId unit) {
  WindowTable* table = Windows();
  WindowDefinition* definition = table ? table->Find(window) : nullptr;
  if (!definition) FatalError(Ansi("未载入欲访问窗口组件所在的窗口"), 0, window, unit);
  const int32_t index = WindowTable::RecordIndex(*definition, unit);
  if (index == kNoIndex) FatalError(Ansi("指定窗口或窗口组件不存在或尚未载入"), 0, window, unit);
  return Target{definition, index, table->LiveObject(*definition, index)};
}

bool IsByteData(uint16_t type) {
  return type == dt::kPicture || type == dt::kIcon || type == dt::kSound || type == dt::kOtherBytes ||
         type == dt::kOtherBytes2;
}
bool IsInteger(uint16_t type) {
  return type == dt::kInteger || type == dt::kPosition || type == dt::kOtherInteger || type == dt::kOtherInteger2 ||
         type == dt::kColour;
}

// The stored pointer block with its first int32 translated by `translate`.
std::vector<uint8_t> TranslatedPointer(const uint8_t* data, size_t length, int32_t (*translate)(int32_t)) {
  std::vector<uint8_t> block(data, data + length);
  if (block.size() >= 4) {
    int32_t code;
    std::memcpy(&code, block.data(), 4);
    code = translate(code);
    std::memcpy(block.data(), &code, 4);
  }
  return block;
}

uint64_t BytesValue(const std::vector<uint8_t>& bytes) { return AddressPayload(CopyBytes(bytes.data(), bytes.size())); }

const PropertyDescriptor* DescriptorFor(const UnitTypeDescriptor* type, int32_t property) {
  if (!type || !type->properties || property >= type->propertyCount) return nullptr;
  return &type->properties[property];
}

uint64_t FromRaw(uint16_t type, const RawValue& raw, int32_t selector) {
  if (type < dt::kFirst || type > dt::kLast) return 0;
  if (IsInteger(type) || type == dt::kChoice) return static_cast<uint32_t>(raw.first);
  if (type == dt::kWide || type == dt::kWide2)
    return static_cast<uint32_t>(raw.first) | (static_cast<uint64_t>(static_cast<uint32_t>(raw.second)) << 32);
  if (type == dt::kBool) return static_cast<uint32_t>(raw.first) == 1 ? 1 : 0;
  if (type == dt::kFont) return FontValue(raw, selector);
  if (IsByteData(type) || type == dt::kMousePointer) {
    const auto* data = AddressIn<const uint8_t>(raw.first);
    if (!data || raw.second <= 0) return 0;
    const size_t length = static_cast<size_t>(raw.second);
    if (type == dt::kMousePointer) return BytesValue(TranslatedPointer(data, length, &CursorIdToPointerCode));
    return AddressPayload(CopyBytes(data, length));
  }
  return AddressPayload(CopyText(AddressIn<const char>(raw.first)));
}

// The raw value handed to the unit on set; `keep` holds what it points into.
struct SetValue {
  RawValue raw;
  std::vector<uint8_t> keep;
  LOGFONTA font;
};

void ToRaw(uint16_t type, uint64_t payload, int32_t selector, UnitObject* unit, const UnitTypeDescriptor* unitType,
           int32_t number, SetValue& out) {
  RawValue& raw = out.raw;
  if (type < dt::kFirst || type > dt::kLast) return;
  if (IsInteger(type)) {
    raw.first = static_cast<int32_t>(payload);
  } else if (type == dt::kWide || type == dt::kWide2) {
    raw.first = static_cast<uint32_t>(payload);
    raw.second = static_cast<uint32_t>(payload >> 32);
  } else if (type == dt::kBool) {
    raw.first = static_cast<uint32_t>(payload) != 0 ? 1 : 0;
  } else if (type == dt::kChoice) {
    raw.first = std::max(0, static_cast<int32_t>(payload));
  } else if (IsByteData(type) || type == dt::kMousePointer) {
    const void* array = AddressIn<const void>(payload);
    const int32_t length = ByteArrayLength(array);
    if (array && length > 0) {
      if (type == dt::kMousePointer) {
        out.keep = TranslatedPointer(ByteArrayData(array), static_cast<size_t>(length), &PointerCodeToCursorId);
        raw.first = AddressWord(out.keep.data());
      } else {
        raw.first = AddressWord(ByteArrayData(array));
      }
      raw.second = length;
    }
  } else if (type == dt::kFont) {
    if (selector != -1) {
      // One item changes: start from what the unit has now.
      RawValue current;
      if (auto get = OperationOf<GetPropertyOp>(unitType, unit_op::kGetProperty)) get(unit, number, &current);
      out.font = FontOf(current);
    }
    if (!ChangeFont(out.font, selector, payload)) return;
    raw.first = AddressWord(&out.font);
    raw.second = sizeof(LOGFONTA);
  } else {
    const char* text = AddressIn<const char>(payload);
    raw.first = AddressWord(text ? text : "");
  }
}

// The live window's rectangle in its parent's client coordinates (screen
// coordinates for a top-level or pop-up window).
RECT RectInParent(HWND hwnd) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  const HWND parent = GetParent(hwnd);
  if (parent && !(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_POPUP) && (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) {
    POINT corner{rect.left, rect.top};
    ScreenToClient(parent, &corner);
    rect.right += corner.x - rect.left;
    rect.bottom += corner.y - rect.top;
    rect.left = corner.x;
    rect.top = corner.y;
  }
  return rect;
}

bool OnHiddenPage(const WindowDefinition& definition, int32_t index) {
  const UnitList& units = definition.units;
  const UnitId id = units.IdAt(index);
  for (int32_t c = 1; c < units.Count(); ++c) {
    if (units.UnitType(c) != kPageContainerType) continue;
    // No page container type exists in this runtime: every page but the
    // first counts as not shown.
    bool laterPage = false;
    for (UnitId child : units.Children(c)) {
      if (child == 0)
        laterPage = true;
      else if (child == id && laterPage)
        return true;
    }
  }
  return false;
}

void SetVisible(Target& t, bool visible) {
  UnitList& units = t.definition->units;
  units.SetFlags(t.index, visible ? units.Flags(t.index) | kFlagVisible : units.Flags(t.index) & ~kFlagVisible);
  if (!t.live) return;
  const HWND hwnd = t.live->WindowHandle();
  if (!visible) {
    ShowWindow(hwnd, SW_HIDE);
  } else if (t.index == 0) {
    ShowLoadedWindow(*t.definition, true);
  } else {
    const UnitTypeDescriptor* type = DescriptorOf(units.UnitType(t.index));
    if ((type && (type->typeFlags & type_flag::kNonVisual)) || OnHiddenPage(*t.definition, t.index)) return;
    ShowWindow(hwnd, SW_SHOW);
  }
}

void SetPointer(Target& t, uint64_t payload) {
  UnitList& units = t.definition->units;
  const void* array = AddressIn<const void>(payload);
  const int32_t length = ByteArrayLength(array);
  std::vector<uint8_t> block;
  if (array && length > 0)
    block = TranslatedPointer(ByteArrayData(array), static_cast<size_t>(length), &PointerCodeToCursorId);
  DestroyUnitCursor(units.CursorSlot(t.index));
  units.SetCursorSlot(t.index, 0);
  if (!units.ReplacePointer(t.index, block)) return;
  units.SetCursorSlot(t.index, BuildCursor(units.Pointer(t.index)));
  if (t.live) {
    POINT where;
    GetCursorPos(&where);
    SetCursorPos(where.x, where.y);  // the new cursor shows at once
  }
}

void SetTypeProperty(Target& t, WindowId window, UnitId unit, int32_t property, int32_t selector, uint64_t payload) {
  if (!t.live) FatalError(Ansi("修改组件属性时发现指定窗口尚未载入"), 0, window, unit);
  const UnitTypeDescriptor* type = DescriptorOf(t.definition->units.UnitType(t.index));
  const PropertyDescriptor* descriptor = DescriptorFor(type, property);
  auto set = OperationOf<SetPropertyOp>(type, unit_op::kSetProperty);
  if (!set) return;
  SetValue value;
  ToRaw(descriptor ? descriptor->dataType : 0, payload, selector, t.live, type, property - 8, value);
  const HWND hwnd = t.live->WindowHandle();
  if (set(t.live, property - 8, &value.raw) != 1 || !IsWindow(hwnd)) return;
  const int32_t index = Windows()->RecordIndexOfHandle(*t.definition, hwnd, false);
  if (index <= 0) return;
  Runtime().SuppressEvents();
  RecreateUnit(*t.definition, index);
  Runtime().AllowEvents();
}

}  // namespace

uint64_t GetProperty(WindowId window, UnitId unit, int32_t property, int32_t selector) {
  Target t = Find(window, unit);
  UnitList& units = t.definition->units;
  if (units.IsMenuItem(t.index)) return 0;  // no menu exists in this runtime
  if (property >= 8) {
    if (!t.live) FatalError(Ansi("读取组件属性时发现指定窗口尚未载入"), 0, window, unit);
    const UnitTypeDescriptor* type = DescriptorOf(units.UnitType(t.index));
    const PropertyDescriptor* descriptor = DescriptorFor(type, property);
    auto get = OperationOf<GetPropertyOp>(type, unit_op::kGetProperty);
    RawValue raw;
    if (!get || !descriptor) return 0;
    get(t.live, property - 8, &raw);
    return FromRaw(descriptor->dataType, raw, selector);
  }
  switch (property) {
    case 0:
    case 1:
    case 2:
    case 3: {
      if (!t.live) return static_cast<uint32_t>(units.RectField(t.index, property));
      const RECT r = RectInParent(t.live->WindowHandle());
      const int32_t values[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
      return static_cast<uint32_t>(values[property]);
    }
    case 4: return AddressPayload(CopyText(units.Tag(t.index)));
    case 5:
      return t.live ? (IsWindowVisible(t.live->WindowHandle()) ? 1 : 0) : (units.Flags(t.index) & kFlagVisible ? 1 : 0);
    case 6:
      return t.live ? (IsWindowEnabled(t.live->WindowHandle()) ? 0 : 1)
                    : (units.Flags(t.index) & kFlagDisabled ? 1 : 0);
    case 7: {
      const auto block = units.Pointer(t.index);
      return BytesValue(TranslatedPointer(block.data(), block.size(), &CursorIdToPointerCode));
    }
    default: return 0;
  }
}

void SetProperty(WindowId window, UnitId unit, int32_t property, int32_t selector, uint64_t payload) {
  Target t = Find(window, unit);
  UnitList& units = t.definition->units;
  if (units.IsMenuItem(t.index)) return;
  if (property >= 8) return SetTypeProperty(t, window, unit, property, selector, payload);
  const auto value = static_cast<int32_t>(payload);
  switch (property) {
    case 0:
    case 1:
    case 2:
    case 3: {
      const int32_t stored = property < 2 ? std::clamp(value, -kLimit, kLimit) : std::clamp(value, 0, kLimit);
      units.SetRectField(t.index, property, stored);
      if (!t.live) return;
      const HWND hwnd = t.live->WindowHandle();
      RECT r = RectInParent(hwnd);
      if (property < 2) {
        SetWindowPos(hwnd, 0, property == 0 ? stored : r.left, property == 1 ? stored : r.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      } else {
        SetWindowPos(hwnd, 0, 0, 0, property == 2 ? stored : r.right - r.left,
                     property == 3 ? stored : r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return;
    }
    case 4: units.ReplaceTag(t.index, TextView(AddressIn<const char>(payload))); return;
    case 5: SetVisible(t, value != 0); return;
    case 6:
      units.SetFlags(t.index, value ? units.Flags(t.index) | kFlagDisabled : units.Flags(t.index) & ~kFlagDisabled);
      if (t.live) EnableWindow(t.live->WindowHandle(), value ? FALSE : TRUE);
      return;
    case 7: SetPointer(t, payload); return;
    default: return;
  }
}

}  // namespace runtime::forms
