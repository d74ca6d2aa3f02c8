#include "runtime/units/drop_object/drop_object.h"

#include <span>

#include "platform/gdi/gdi.h"
#include "platform/gdi/icons/cursor.h"
#include "platform/windows/system_metrics.h"
#include "platform/windows/window.h"
#include "platform/windows/window_dc.h"
#include "runtime/core/notify.h"
#include "runtime/core/runtime_calls.h"
#include "runtime/core/unit_window.h"
#include "runtime/units/drop_object/core_link.h"

namespace runtime::units::drop_object {
namespace {

using namespace platform;

constexpr const char* kClassName = "_VU_DropTarget";

// Selects an object into a DC for as long as it lives.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, old_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace

DropObject::DropObject(const DropProperties& properties, const CreateParams& p)
    : window_(p.window), unit_(p.unit), designer_(p.designer), parent_(p.parent), target_(*this, properties) {}

UnitObject* DropObject::Create(const CreateParams& p) {
  const size_t length = p.block && p.blockLength > 0 ? static_cast<size_t>(p.blockLength) : 0;
  const auto properties = ReadDropProperties(std::span<const uint8_t>(p.block, length));
  if (!properties) return nullptr;
  // Each window's own procedure is set at creation.
  EnsureUnitClass(kClassName, DefWindowProcA, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  auto* unit = new DropObject(*properties, p);
  unit->hwnd_ = CreateWindowExA(0, kClassName, "", p.style | WS_CHILD | WS_CLIPSIBLINGS, p.x, p.y, p.width, p.height,
                                p.parent, static_cast<HMENU>(p.controlId), nullptr);
  if (!unit->hwnd_) {
    delete unit;
    return nullptr;
  }
  AttachUnit(unit->hwnd_, unit, &DropObject::Proc);
  if (p.designer == 0) unit->target_.InstallEvents(p.window, p.unit);
  return unit;
}

bool DropObject::RegisterWindow(HWND window) {
  if (registered_) return false;
  // Kept even when the registration fails: the unit has had its one try.
  registered_ = window;
  target_.SetTargetWindow(window);
  registrationHeld_ = RegisterDragDrop(window, &target_) == S_OK;
  return registrationHeld_;
}

void DropObject::TargetUnused() {
  if (windowGone_) delete this;
}

LRESULT DropObject::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* unit = AttachedUnit<DropObject>(hwnd);
  if (!unit || unit->hwnd_ != hwnd) return DefWindowProcA(hwnd, message, wParam, lParam);
  switch (message) {
    case kAskRuntimeObject: return RuntimeObjectAnswer(unit);
    case WM_PAINT: unit->Paint(); return 0;
    case WM_NCDESTROY: unit->OnFinalDestroy(); return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

void DropObject::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  {
    // The library carries no bitmap to draw on it: a framed face is all.
    Selected brush(dc, GetStockObject(NULL_BRUSH));
    Selected pen(dc, GetStockObject(BLACK_PEN));
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    Rectangle(dc, client.left, client.top, client.right, client.bottom);
  }
  EndPaint(hwnd_, &ps);
}

void DropObject::OnFinalDestroy() {
  AttachUnit(hwnd_, nullptr);
  Core().ObjectDestroyed(window_, unit_);
  // Only a registration of its own: after a failed one the window may hold
  // another unit's target.
  if (registrationHeld_) RevokeDragDrop(registered_);
  windowGone_ = true;
  // A drop still under way holds the target; the unit then ends with it.
  if (target_.References() == 1) delete this;
}

void RegisterWindowMethod(ArgRecord* result, int32_t count, ArgRecord* args) {
  bool registered = false;
  if (args && count >= 2) {
    if (auto* unit = Core().FindUnit<DropObject>(args[0].RefWindow(), args[0].RefUnit()))
      registered = unit->RegisterWindow(static_cast<HWND>(args[1].Low()));
  }
  if (result) *result = ArgRecord::Bool(registered);
}

}  // namespace runtime::units::drop_object
