#include "runtime/forms/loader.h"
#include "runtime/core/services/message_loop.h"
#include "runtime/core/shutdown.h"

#include <cstring>
#include <vector>

#include "platform/gdi/icons/cursor.h"
#include "platform/windows/pointer.h"
#include "platform/windows/window.h"
#include "runtime/core/ansi.h"
#include "runtime/core/application.h"
#include "runtime/core/fatal_error.h"
#include "runtime/core/notify.h"
#include "runtime/core/runtime_calls.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/forms/events.h"
#include "runtime/forms/loaded_window.h"
#include "runtime/forms/pointer_codes.h"
#include "runtime/forms/unit_types.h"
#include "runtime/forms/window_table.h"

namespace runtime::forms {

using services::RunModalLoop;
namespace {

using namespace platform;

constexpr int32_t kFirstControlId = 100;
constexpr int32_t kControlIdStep = 10;

struct CreatedRecord {
  int32_t index;
  bool visible;
};

LoadedWindow* WindowObjectOf(WindowTable& table, const WindowDefinition& definition) {
  return dynamic_cast<LoadedWindow*>(table.LiveObject(definition, 0));
}

// Forgets the objects that a unit list's slots name (the list is discarded).
void ForgetObjects(WindowTable& table, const UnitList& units) {
  for (int32_t i = 0; i < units.Count(); ++i)
    if (!units.IsMenuItem(i)) table.Objects().Remove(units.ObjectSlot(i));
}

// Undoes a load that failed before its events: whatever was created goes,
// and the definition is as it was before the load.
bool FailLoad(WindowTable& table, WindowDefinition& definition) {
  const bool wasRecreating = table.recreating;
  table.recreating = true;  // the teardown of what was made is not a close
  if (UnitObject* window = table.LiveObject(definition, 0)) DestroyWindow(window->WindowHandle());
  for (int32_t i = definition.units.Count() - 1; i >= 1; --i)
    if (UnitObject* unit = table.LiveObject(definition, i)) DestroyWindow(unit->WindowHandle());
  table.recreating = wasRecreating;
  ForgetObjects(table, definition.units);
  for (int32_t i = 0; i < definition.units.Count(); ++i) DestroyUnitCursor(definition.units.CursorSlot(i));
  if (!definition.backup.Empty()) definition.units = std::move(definition.backup);
  definition.backup = UnitList();
  Runtime().AllowEvents();
  return false;
}

// Visibility and style bits of a record from its common flags.
std::pair<bool, uint32_t> VisibilityAndStyle(const UnitTypeDescriptor& type, uint32_t flags) {
  uint32_t style = 0;
  bool visible = false;
  if (!(type.typeFlags & type_flag::kNonVisual)) {
    visible = flags & kFlagVisible;
    if (flags & kFlagDisabled) style |= WS_DISABLED;
  }
  if (flags & kFlagTabStop) style |= WS_TABSTOP;
  return {visible, style};
}

CreateParams ParamsFor(const UnitList& units, int32_t index, uint32_t style) {
  const auto block = units.TypeBlock(index);
  CreateParams p;
  p.block = block.empty() ? nullptr : block.data();
  p.blockLength = static_cast<int32_t>(block.size());
  p.style = style;
  p.x = units.RectField(index, 0);
  p.y = units.RectField(index, 1);
  p.width = units.RectField(index, 2);
  p.height = units.RectField(index, 3);
  p.unit = units.IdAt(index);
  return p;
}

// Places each unit directly below the nearest earlier record with the same
// parent, the first of each parent at the top: earlier records lie above.
void Stack(WindowTable& table, const WindowDefinition& definition) {
  const UnitList& units = definition.units;
  for (int32_t i = 1; i < units.Count(); ++i) {
    UnitObject* unit = table.LiveObject(definition, i);
    if (!unit) continue;
    HWND above = HWND_TOP;
    for (int32_t j = i - 1; j >= 1; --j) {
      UnitObject* earlier = table.LiveObject(definition, j);
      if (earlier && units.Parent(j) == units.Parent(i)) {
        above = earlier->WindowHandle();
        break;
      }
    }
    SetWindowPos(unit->WindowHandle(), above, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  }
}

// The unit (or the window) that holds the focus raises its focus event. The
// focus may lie in a window a unit made inside its own: the innermost unit
// around it raises the event.
void RaiseFocusEvent(WindowTable& table, const WindowDefinition& definition) {
  const HWND focus = GetFocus();
  UnitObject* window = table.LiveObject(definition, 0);
  if (!focus || !window || (focus != window->WindowHandle() && !IsChild(window->WindowHandle(), focus))) return;
  for (HWND at = focus; at; at = at == window->WindowHandle() ? 0 : GetParent(at)) {
    for (int32_t i = 0; i < definition.units.Count(); ++i) {
      UnitObject* unit = table.LiveObject(definition, i);
      if (unit && unit->WindowHandle() == at) {
        Runtime().RaiseEvent(definition.id, definition.units.IdAt(i), window_event::kFocusGained);
        return;
      }
    }
  }
}

void ShowAfterLoad(WindowTable& table, WindowDefinition& definition, LoadedWindow& window) {
  int command = SW_SHOW;
  if (App().programKind != 0) {
    if (window.StartsAs() == StartPosition::Maximised)
      command = SW_SHOWMAXIMIZED;
    else if (window.StartsAs() == StartPosition::Minimised)
      command = SW_SHOWMINIMIZED;
  }
  ShowWindow(window.WindowHandle(), command);
  RaiseFocusEvent(table, definition);
}

// A load in progress: the records created so far and what later steps need
// of the window.
struct LoadState {
  WindowTable& table;
  WindowDefinition& definition;
  bool modal;
  HWND owner;
  std::vector<CreatedRecord> created;
  HWND windowHandle = 0;
  bool windowVisible = false;
  int32_t nextControlId = kFirstControlId;
};

// Creates the object of record `i` through its type's create operation: the
// window (record 0) with its owner and the load's modal flag visible to it,
// a unit with the window as parent and the next control id.
bool CreateRecord(LoadState& load, int32_t i) {
  UnitList& units = load.definition.units;
  const UnitTypeDescriptor* type = DescriptorOf(units.UnitType(i));
  auto create = OperationOf<CreateUnitOp>(type, unit_op::kCreate);
  if (!create) return false;
  auto [visible, style] = VisibilityAndStyle(*type, units.Flags(i));
  CreateParams params = ParamsFor(units, i, style);
  params.window = load.definition.id;
  UnitObject* object = nullptr;
  if (i == 0) {
    params.parent = load.owner;
    load.table.loadModal = load.modal;
    object = create(params);
    load.table.loadModal = false;
    if (object && !IsWindow(object->WindowHandle())) {
      delete object;
      object = nullptr;
    }
    if (!object) return false;
    load.windowHandle = object->WindowHandle();
    load.windowVisible = visible;
  } else {
    params.parent = load.windowHandle;
    params.controlId = load.nextControlId;
    load.nextControlId += kControlIdStep;
    object = create(params);
    if (!object) return false;
    load.created.push_back(CreatedRecord{i, visible});
  }
  load.table.StoreObject(load.definition, i, object);
  return true;
}

// The window first, then the units from the last record down.
bool CreateWindowAndUnits(LoadState& load) {
  const UnitList& units = load.definition.units;
  if (!CreateRecord(load, 0)) return false;
  for (int32_t i = units.Count() - 1; i >= 1; --i)
    if (!units.IsMenuItem(i) && !CreateRecord(load, i)) return false;
  return true;
}

// Each unit into its parent unit's window (or the window); units on later
// pages of a paged container stay hidden.
void SetParents(LoadState& load) {
  const UnitList& units = load.definition.units;
  for (int32_t i = 1; i < units.Count(); ++i) {
    UnitObject* unit = load.table.LiveObject(load.definition, i);
    if (!unit) continue;
    const int32_t parentIndex = units.Parent(i) ? units.IndexOf(units.Parent(i)) : kNoIndex;
    UnitObject* parent = parentIndex > 0 ? load.table.LiveObject(load.definition, parentIndex) : nullptr;
    SetParent(unit->WindowHandle(), parent ? parent->WindowHandle() : load.windowHandle);
    const UnitTypeDescriptor* type = DescriptorOf(units.UnitType(i));
    if (!type || !(type->typeFlags & type_flag::kPagedContainer)) continue;
    bool laterPage = false;
    for (UnitId child : units.Children(i)) {
      if (child == 0) {
        laterPage = true;
        continue;
      }
      if (!laterPage) continue;
      for (CreatedRecord& record : load.created)
        if (units.IdAt(record.index) == child) record.visible = false;
    }
  }
}

void BuildCursors(UnitList& units) {
  for (int32_t i = 0; i < units.Count(); ++i)
    if (!units.IsMenuItem(i)) units.SetCursorSlot(i, BuildCursor(units.Pointer(i)));
}

// Every unit hears it was loaded (the last first), then the window; each
// unit is shown or hidden as its record says, and events flow again.
void AnnounceLoaded(LoadState& load) {
  const UnitList& units = load.definition.units;
  for (int32_t i = units.Count() - 1; i >= 0; --i)
    if (UnitObject* unit = load.table.LiveObject(load.definition, i))
      SendMessageA(unit->WindowHandle(), kUnitLoaded, 0, 0);
  SendMessageA(load.windowHandle, kWindowLoaded, 0, 0);
  for (const CreatedRecord& record : load.created)
    if (UnitObject* unit = load.table.LiveObject(load.definition, record.index))
      ShowWindow(unit->WindowHandle(), record.visible ? SW_SHOWNA : SW_HIDE);
  Runtime().AllowEvents();
}

// The window's created, moved and sized events. A handler may close the
// window; later steps then find it gone.
void RaiseCreationEvents(const LoadState& load) {
  const UnitId windowUnit = load.definition.units.IdAt(0);
  Runtime().RaiseEvent(load.definition.id, windowUnit, window_event::kCreated);
  if (IsWindow(load.windowHandle)) Runtime().RaiseEvent(load.definition.id, windowUnit, window_event::kMoved);
  if (IsWindow(load.windowHandle)) Runtime().RaiseEvent(load.definition.id, windowUnit, window_event::kSized);
}

// A modal window disables every other top-level runtime window, keeping
// each one's enabled state to give back.
void DisableOthers(LoadState& load, LoadedWindow& window) {
  window.modal = true;
  for (size_t w = 0; w < load.table.Size(); ++w) {
    WindowDefinition& other = load.table.At(w);
    if (&other == &load.definition) continue;
    UnitObject* otherWindow = load.table.LiveObject(other, 0);
    if (!otherWindow || (GetWindowLongPtrA(otherWindow->WindowHandle(), GWL_STYLE) & WS_CHILD)) continue;
    const HWND hwnd = otherWindow->WindowHandle();
    window.disabled.emplace_back(hwnd, IsWindowEnabled(hwnd) != FALSE);
    EnableWindow(hwnd, FALSE);
  }
}

// Every unit hears it was shown (the last first); the focus a unit took
// meanwhile goes back where it was.
void AnnounceShown(LoadState& load) {
  const HWND focusBefore = GetFocus();
  const UnitList& units = load.definition.units;
  for (int32_t i = units.Count() - 1; i >= 0; --i)
    if (UnitObject* unit = load.table.LiveObject(load.definition, i))
      SendMessageA(unit->WindowHandle(), kUnitShown, 0, 0);
  if (GetFocus() != focusBefore && (!focusBefore || IsWindow(focusBefore))) SetFocus(focusBefore);
}

}  // namespace

HCURSOR BuildCursor(std::span<const uint8_t> block) {
  if (block.empty()) return 0;
  int32_t name = 0;
  if (block.size() >= 4)
    std::memcpy(&name, block.data(), 4);
  else
    name = block[0];
  if (name != -1 && block.size() > 10) {
    if (HCURSOR fromFile = CreateCursorFromFileData(block.data(), block.size())) return fromFile;
  }
  if (name == -1) return block.size() > 4 ? CreateCursorFromFileData(block.data() + 4, block.size() - 4) : 0;
  const int32_t id = PointerCodeToCursorId(name);
  if (id == 0 || CursorIdToPointerCode(id) == id) return 0;  // not a cursor of the table
  return LoadCursorA(0, id);
}

void DestroyUnitCursor(HCURSOR cursor) {
  if (cursor) DestroyCursor(cursor);  // system cursors are shared and survive this
}

bool Load(WindowDefinition& definition, bool modal, HWND owner) {
  WindowTable& table = *Windows();
  // Already loaded: it is brought back instead.
  if (UnitObject* live = table.LiveObject(definition, 0)) {
    if (IsIconic(live->WindowHandle()))
      ShowWindow(live->WindowHandle(), SW_RESTORE);
    else
      SetActiveWindow(live->WindowHandle());
    return true;
  }
  // A modal window has no owner; a modeless one's owner must exist.
  if (modal)
    owner = 0;
  else if (owner && !IsWindow(owner))
    return false;
  // Events wait until everything is made; the definition is kept to come back to.
  Runtime().SuppressEvents();
  definition.backup = definition.units;
  UnitList& units = definition.units;
  if (units.Count() < 1 || units.IsMenuItem(0)) return FailLoad(table, definition);

  LoadState load{table, definition, modal, owner, {}};
  if (!CreateWindowAndUnits(load)) return FailLoad(table, definition);
  SetParents(load);
  Stack(table, definition);
  BuildCursors(units);
  AnnounceLoaded(load);
  RaiseCreationEvents(load);

  LoadedWindow* window = IsWindow(load.windowHandle) ? WindowObjectOf(table, definition) : nullptr;
  if (!window) return true;
  if (load.windowVisible) ShowAfterLoad(table, definition, *window);
  if (modal) DisableOthers(load, *window);
  AnnounceShown(load);
  if (IsWindow(load.windowHandle)) window->firstShow = true;
  return true;
}

intptr_t LoadFromRequest(const LoadRequest* request) {
  WindowTable* table = Windows();
  WindowDefinition* definition = table && request ? table->Find(request->window) : nullptr;
  if (!definition) return -1;
  const HWND owner = request->owner ? request->owner->WindowHandle() : 0;
  if (request->owner && !owner) return -1;
  if (!Load(*definition, request->modal != 0, owner)) return -1;
  if (WindowObjectOf(*table, *definition) && (definition->units.Flags(0) & kFlagVisible))
    ShowLoadedWindow(*definition, false);
  return 0;
}

void ShowLoadedWindow(WindowDefinition& definition, bool show) {
  WindowTable& table = *Windows();
  LoadedWindow* window = WindowObjectOf(table, definition);
  if (!window) return;
  if (!window->firstShow) {
    if (show) ShowWindow(window->WindowHandle(), SW_SHOW);
    return;
  }
  window->firstShow = false;
  const HWND hwnd = window->WindowHandle();
  if (window->modal) {
    const HWND parent = GetParent(hwnd);
    if (parent && (GetWindowLongPtrA(parent, GWL_EXSTYLE) & WS_EX_TOPMOST))
      SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (show) ShowAfterLoad(table, definition, *window);
  if (!window->modal) return;
  const WindowId previous = table.modalWindow;
  const WindowId id = definition.id;
  table.modalWindow = id;
  RunModalLoop([&table, id] { return table.modalWindow != id; });
  table.modalWindow = previous;
}

void TeardownWindow(WindowId window) {
  WindowTable* table = Windows();
  if (!table || table->clearing) return;
  if (WindowDefinition* definition = table->Find(window)) {
    for (int32_t i = 0; i < definition->units.Count(); ++i) {
      if (definition->units.IsMenuItem(i)) continue;
      DestroyUnitCursor(definition->units.CursorSlot(i));
      definition->units.SetCursorSlot(i, 0);
    }
  }
  Runtime().ObjectDestroyed(window, 0);
}

void WindowTable::OnObjectDestroyed(WindowId window, UnitId unit) {
  if (recreating || clearing) return;
  WindowDefinition* definition = Find(window);
  if (definition) {
    UnitList& units = definition->units;
    const int32_t index = unit == 0 ? 0 : units.IndexOf(unit);
    if (index > 0) {
      DestroyUnitCursor(units.CursorSlot(index));
      units.SetCursorSlot(index, 0);
      objects_.Remove(units.ObjectSlot(index));
      units.SetObjectSlot(index, 0);
    } else if (index == 0 && !definition->backup.Empty()) {
      // The definition is again exactly as the form data stored it.
      ForgetObjects(*this, units);
      units = std::move(definition->backup);
      definition->backup = UnitList();
      if (modalWindow == window) modalWindow = 0;
    }
  }
  OnRuntimeObjectDestroyed();
}

void WindowTable::LoadWindow(WindowId window) {
  WindowDefinition* definition = Find(window);
  if (!definition || !Load(*definition, true, 0)) FatalError(Ansi("载入启动窗口失败"), 0, window, 0);
}

}  // namespace runtime::forms
