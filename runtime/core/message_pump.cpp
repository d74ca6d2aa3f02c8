#include "runtime/core/message_pump.h"

#include "platform/windows/window.h"
#include "runtime/core/program.h"
#include "runtime/core/unit_window.h"

namespace runtime {

using namespace platform;

bool OfferToRuntimeObjects(const MSG& msg) {
  for (HWND hwnd = msg.hwnd; hwnd;) {
    UnitObject* object = AskRuntimeObject(hwnd);
    if (object && object->PreTranslateMessage(&msg)) return true;
    if (!(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) break;
    hwnd = GetParent(hwnd);
  }
  return false;
}

void ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    if (!PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) break;
    if (!OfferToRuntimeObjects(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

}  // namespace runtime
