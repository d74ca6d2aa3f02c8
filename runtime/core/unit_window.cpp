#include "runtime/core/unit_window.h"

#include "platform/gdi/icons/cursor.h"
#include "platform/windows/system_metrics.h"
#include "runtime/core/value.h"

namespace runtime {

using namespace platform;

COLORREF PaintColour(COLORREF stored) { return stored == kButtonFaceColour ? GetSysColor(COLOR_BTNFACE) : stored; }

void EnsureUnitClass(const char* name, WNDPROC procedure, HBRUSH background) {
  WNDCLASSA existing;
  if (GetClassInfoA(name, &existing)) return;
  WNDCLASSA wc;
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = procedure;
  wc.hCursor = LoadCursorA(0, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

void AttachUnit(HWND window, void* unit, WNDPROC procedure) {
  SetWindowLongPtrA(window, GWLP_USERDATA, AddressWord(unit));
  if (procedure) SetWindowLongPtrA(window, GWLP_WNDPROC, AddressWord(procedure));
}

void* AttachedObject(HWND window) { return AddressIn<void>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

LRESULT RuntimeObjectAnswer(UnitObject* object) { return AddressWord(object); }

UnitObject* AskRuntimeObject(HWND window) {
  return AddressIn<UnitObject>(SendMessageA(window, kAskRuntimeObject, 0, 0));
}

}  // namespace runtime
