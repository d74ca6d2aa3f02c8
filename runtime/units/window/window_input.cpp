// The window's keys (Esc closes, Enter and Tab move the focus in tab order,
// F1 opens help, as its block says), the pointer it and its units show, and
// dragging it by its client area.
#include <string>

#include "platform/windows/keyboard.h"
#include "platform/windows/pointer.h"
#include "platform/windows/window.h"
#include "runtime/forms/unit_input.h"
#include "runtime/forms/window_table.h"
#include "runtime/units/window/window_help.h"
#include "runtime/units/window/window_unit.h"

namespace runtime::units::window {

using namespace platform;

namespace {

constexpr WPARAM kLeftButtonHeld = 0x0001;  // MK_LBUTTON

// The key a typed character comes from, for the characters the window's keys type.
UINT KeyOfCharacter(WPARAM c) {
  switch (c) {
    case 0x09: return VK_TAB;
    case 0x0D: return VK_RETURN;
    case 0x1B: return VK_ESCAPE;
    default: return 0;
  }
}

// The window table and this window's definition in it; both null when the
// window is not (or no longer) in the table.
struct OwnDefinition {
  const forms::WindowTable* table = nullptr;
  const forms::WindowDefinition* definition = nullptr;
  explicit operator bool() const { return definition != nullptr; }
};

OwnDefinition DefinitionOf(WindowId window) {
  OwnDefinition own;
  own.table = forms::Windows();
  if (own.table) own.definition = own.table->Find(window);
  return own;
}

}  // namespace

bool WindowUnit::PreTranslateMessage(const void* message) {
  const MSG& msg = *static_cast<const MSG*>(message);
  if (msg.message == WM_KEYDOWN) return TakesKey(static_cast<UINT>(msg.wParam), true);
  // The character a taken key types goes with it.
  if (msg.message == WM_CHAR) {
    const UINT key = KeyOfCharacter(msg.wParam);
    return key && TakesKey(key, false);
  }
  return false;
}

// Whether the window takes `key` away from the unit with the focus; with
// `act`, does what the key does.
bool WindowUnit::TakesKey(UINT key, bool act) {
  const OwnDefinition own = DefinitionOf(window_);
  if (!own) return false;
  const HWND focus = GetFocus();
  if (focus != hwnd_ && forms::UnitKeepsKey(*own.table, *own.definition, focus, static_cast<int32_t>(key)))
    return false;
  const bool control = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0;
  if (control || alt) return false;
  switch (key) {
    case VK_ESCAPE:
      if (block_.escCloses != 1) return false;
      if (act) PostMessageA(hwnd_, WM_CLOSE, 0, 0);
      return true;
    case VK_RETURN:
      if (block_.enterMovesFocus != 1) return false;
      if (act) MoveFocus(false);
      return true;
    case VK_TAB:
      if (forms::NextInTabOrder(*own.table, *own.definition, focus, false) == forms::kNoIndex) return false;
      if (act) MoveFocus(GetKeyState(VK_SHIFT) < 0);
      return true;
    case VK_F1:
      if (block_.f1Help != 1) return false;
      if (act) OpenHelp(hwnd_, block_);
      return true;
    default: return false;
  }
}

void WindowUnit::MoveFocus(bool backwards) {
  const OwnDefinition own = DefinitionOf(window_);
  if (!own) return;
  const int32_t next = forms::NextInTabOrder(*own.table, *own.definition, GetFocus(), backwards);
  if (UnitObject* unit = next == forms::kNoIndex ? nullptr : own.table->LiveObject(*own.definition, next))
    SetFocus(unit->WindowHandle());
}

LRESULT WindowUnit::SetPointer(HWND over) {
  const OwnDefinition own = DefinitionOf(window_);
  const HCURSOR pointer = own ? forms::UnitPointer(*own.table, *own.definition, over) : 0;
  if (!pointer) return FALSE;  // the class cursor shows
  SetCursor(pointer);
  return TRUE;
}

bool WindowUnit::Drag(UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT at = PointFromLParam(lParam);
  if (message == WM_LBUTTONDOWN) {
    if (block_.dragByClient != 1 || IsIconic(hwnd_) || IsZoomed(hwnd_)) return false;
    dragging_ = true;
    dragFrom_ = at;
    SetCapture(hwnd_);
    return true;
  }
  if (!dragging_) return false;
  if (message == WM_LBUTTONUP || !(wParam & kLeftButtonHeld) || GetCapture() != hwnd_) {
    dragging_ = false;
    if (GetCapture() == hwnd_) ReleaseCapture();
    return true;
  }
  // The point pressed stays under the pointer.
  const int dx = at.x - dragFrom_.x, dy = at.y - dragFrom_.y;
  if (dx == 0 && dy == 0) return true;
  RECT r;
  GetWindowRect(hwnd_, &r);
  if (const HWND parent = IsChild() ? GetParent(hwnd_) : 0) {
    POINT topLeft{r.left, r.top};
    ScreenToClient(parent, &topLeft);
    r.left = topLeft.x;
    r.top = topLeft.y;
  }
  SetWindowPos(hwnd_, 0, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

}  // namespace runtime::units::window
