#include "runtime/forms/recreate.h"

#include <vector>

#include "platform/memory/global_memory.h"
#include "platform/windows/window.h"
#include "runtime/forms/loaded_window.h"
#include "runtime/forms/unit_types.h"
#include "runtime/forms/window_table.h"

namespace runtime::forms {
namespace {

using namespace platform;

// Locks a global memory block for the life of the object and frees it after.
class LockedBlock {
 public:
  explicit LockedBlock(HGLOBAL memory) : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
  ~LockedBlock() {
    if (data_) GlobalUnlock(memory_);
    if (memory_) GlobalFree(memory_);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  const uint8_t* data() const { return static_cast<const uint8_t*>(data_); }
  size_t size() const { return memory_ ? GlobalSize(memory_) : 0; }

 private:
  HGLOBAL memory_;
  void* data_;
};

std::vector<HWND> ChildWindows(HWND hwnd) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) children.push_back(child);
  return children;
}

}  // namespace

void RecreateUnit(WindowDefinition& definition, int32_t index) {
  WindowTable& table = *Windows();
  UnitList& units = definition.units;
  const UnitTypeDescriptor* type = DescriptorOf(units.UnitType(index));
  UnitObject* old = table.LiveObject(definition, index);
  if (!type || !old || (type->typeFlags & type_flag::kNeverRecreated)) return;
  auto save = OperationOf<SavePropertiesOp>(type, unit_op::kSaveProperties);
  auto create = OperationOf<CreateUnitOp>(type, unit_op::kCreate);
  if (!save || !create) return;

  const HWND oldHandle = old->WindowHandle();
  const HWND focus = GetFocus();
  const bool hadFocus = focus && (focus == oldHandle || IsChild(oldHandle, focus));
  LockedBlock saved(save(old));
  if (!saved.data()) return;

  RECT rect;
  GetWindowRect(oldHandle, &rect);
  const HWND parent = GetParent(oldHandle);
  POINT corner{rect.left, rect.top};
  if (parent) ScreenToClient(parent, &corner);
  CreateParams params;
  params.block = saved.data();
  params.blockLength = static_cast<int32_t>(saved.size());
  params.style = IsWindowEnabled(oldHandle) ? 0 : WS_DISABLED;
  params.parent = parent;
  params.controlId = static_cast<int32_t>(GetWindowLongPtrA(oldHandle, GWLP_ID));
  params.x = corner.x;
  params.y = corner.y;
  params.width = rect.right - rect.left;
  params.height = rect.bottom - rect.top;
  params.window = definition.id;
  params.unit = units.IdAt(index);
  UnitObject* fresh = create(params);
  if (!fresh) return;
  const HWND freshHandle = fresh->WindowHandle();
  if (type->typeFlags & type_flag::kMovesChildrenOnRecreate)
    for (HWND child : ChildWindows(oldHandle)) SetParent(child, freshHandle);
  const bool wasVisible = IsWindowVisible(oldHandle);
  table.StoreObject(definition, index, fresh);

  // The stacking place the loader gives it.
  HWND above = HWND_TOP;
  for (int32_t j = index - 1; j >= 1; --j) {
    UnitObject* earlier = table.LiveObject(definition, j);
    if (earlier && units.Parent(j) == units.Parent(index)) {
      above = earlier->WindowHandle();
      break;
    }
  }
  SetWindowPos(freshHandle, above, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  SendMessageA(freshHandle, kUnitLoaded, 0, 0);
  SendMessageA(freshHandle, kUnitShown, 0, 0);
  if ((type->typeFlags & type_flag::kTellParentOnRecreate) && parent) SendMessageA(parent, kWindowLoaded, 0, 0);
  if (wasVisible) ShowWindow(freshHandle, SW_SHOWNA);

  table.recreating = true;  // the old unit's end is not the unit's end
  DestroyWindow(oldHandle);
  table.recreating = false;
  if (hadFocus)
    SetFocus(freshHandle);
  else if (focus && IsWindow(focus) && GetFocus() != focus)
    SetFocus(focus);
}

}  // namespace runtime::forms
