#include "runtime/forms/unit_input.h"

#include <algorithm>
#include <vector>

#include "platform/windows/window.h"
#include "runtime/forms/unit_types.h"

namespace runtime::forms {
namespace {

using namespace platform;

bool TakesTabFocus(const WindowTable& table, const WindowDefinition& definition, int32_t index) {
  const UnitList& units = definition.units;
  if (units.IsMenuItem(index) || !(units.Flags(index) & kFlagTabStop)) return false;
  const UnitTypeDescriptor* type = DescriptorOf(units.UnitType(index));
  if (!type || (type->typeFlags & (type_flag::kNonVisual | type_flag::kNoTabFocus))) return false;
  UnitObject* unit = table.LiveObject(definition, index);
  return unit && IsWindowVisible(unit->WindowHandle()) && IsWindowEnabled(unit->WindowHandle());
}

// The record of the unit whose window is `hwnd` or holds it; record 0 for the
// window itself, kNoIndex for neither.
int32_t RecordOf(const WindowTable& table, const WindowDefinition& definition, HWND hwnd) {
  if (!hwnd) return kNoIndex;
  UnitObject* window = table.LiveObject(definition, 0);
  if (window && window->WindowHandle() == hwnd) return 0;
  const int32_t index = table.RecordIndexOfHandle(definition, hwnd, true);
  return index > 0 ? index : kNoIndex;
}

}  // namespace

int32_t NextInTabOrder(const WindowTable& table, const WindowDefinition& definition, HWND from, bool backwards) {
  const UnitList& units = definition.units;
  std::vector<int32_t> order;
  for (int32_t i = 1; i < units.Count(); ++i)
    if (TakesTabFocus(table, definition, i)) order.push_back(i);
  if (order.empty()) return kNoIndex;
  std::stable_sort(order.begin(), order.end(),
                   [&units](int32_t a, int32_t b) { return units.TabOrder(a) < units.TabOrder(b); });
  if (backwards) std::reverse(order.begin(), order.end());
  const int32_t current = RecordOf(table, definition, from);
  auto at = std::find(order.begin(), order.end(), current);
  if (at == order.end() || ++at == order.end()) return order.front();
  return *at;
}

bool UnitKeepsKey(const WindowTable& table, const WindowDefinition& definition, HWND hwnd, int32_t key) {
  const int32_t index = RecordOf(table, definition, hwnd);
  if (index <= 0) return false;
  auto query = OperationOf<KeyQueryOp>(DescriptorOf(definition.units.UnitType(index)), unit_op::kKeyQuery);
  UnitObject* unit = table.LiveObject(definition, index);
  return query && unit && query(unit, key) == 1;
}

HCURSOR UnitPointer(const WindowTable& table, const WindowDefinition& definition, HWND hwnd) {
  const int32_t index = RecordOf(table, definition, hwnd);
  return index == kNoIndex ? 0 : static_cast<HCURSOR>(definition.units.CursorSlot(index));
}

}  // namespace runtime::forms
