#include "runtime/core/unit_window.h"

#include "platform/gdi/icons/cursor.h"
#include "platform/windows/system_metrics.h"

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

}  // namespace runtime
