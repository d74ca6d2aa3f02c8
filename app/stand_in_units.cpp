#include "app/stand_in_units.h"

#include <cstring>
#include <iterator>

#include "platform/gdi/gdi.h"
#include "platform/system_metrics.h"
#include "platform/window.h"
#include "runtime/core/notify.h"

namespace app {
namespace {

using namespace platform;
using namespace runtime;

class StandIn final : public UnitObject {
 public:
  HWND WindowHandle() const override { return hwnd; }
  HWND hwnd = 0;
  WindowId window = 0;
  UnitId unit = 0;
  COLORREF background = 0xFF000000;
};

LRESULT StandInProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* unit = reinterpret_cast<StandIn*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!unit) return DefWindowProcA(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT client;
      GetClientRect(hwnd, &client);
      HBRUSH brush = CreateSolidBrush(unit->background == 0xFF000000 ? GetSysColor(COLOR_BTNFACE) : unit->background);
      FillRect(dc, &client, brush);
      DeleteObject(brush);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      NotifyRuntime(notify::kObjectDestroyed, unit->window, unit->unit);
      delete unit;
      return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

template <const char* kClass>
UnitObject* Create(const CreateParams& p) {
  WNDCLASSA wc;
  if (!GetClassInfoA(kClass, &wc)) {
    wc.lpfnWndProc = StandInProc;
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
  }
  auto* unit = new StandIn;
  unit->window = p.window;
  unit->unit = p.unit;
  // The background colour follows the version in both blocks.
  if (p.block && p.blockLength >= 12) std::memcpy(&unit->background, p.block + 8, 4);
  unit->hwnd = CreateWindowExA(0, kClass, "", WS_CHILD | WS_CLIPSIBLINGS | p.style, p.x, p.y, p.width, p.height,
                               p.parent, 0, nullptr);
  if (!unit->hwnd) {
    delete unit;
    return nullptr;
  }
  SetWindowLongPtrA(unit->hwnd, GWLP_ID, p.controlId);
  SetWindowLongPtrA(unit->hwnd, GWLP_USERDATA, reinterpret_cast<intptr_t>(unit));
  return unit;
}

constexpr char kDrawPanelClass[] = "_VU_DrawPanel";
constexpr char kDropObjectClass[] = "_VU_DropTarget";

template <const char* kClass>
void* Entry(int32_t operation) {
  return operation == unit_op::kCreate ? reinterpret_cast<void*>(static_cast<CreateUnitOp>(&Create<kClass>)) : nullptr;
}

constexpr PropertyDescriptor kCommon = {nullptr, nullptr, 1001, 0xE000};
const PropertyDescriptor kProperties[25] = {kCommon, kCommon, kCommon, kCommon, kCommon, kCommon, kCommon, kCommon};

}  // namespace

const UnitTypeDescriptor& StandInDrawPanel() {
  static const UnitTypeDescriptor type{"\xBB\xAD\xB0\xE5", "DrawPanel", 0x800200C0, 25, kProperties,
                                       &Entry<kDrawPanelClass>};
  return type;
}

const UnitTypeDescriptor& StandInDropObject() {
  static const UnitTypeDescriptor type{"\xCD\xCF\xB7\xC5\xB6\xD4\xCF\xF3", "DropTarget", 0x80008040, 12, kProperties,
                                       &Entry<kDropObjectClass>};
  return type;
}

}  // namespace app
